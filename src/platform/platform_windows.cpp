#include "platform/platform.h"

#include <windows.h>

namespace platform {

namespace {
HANDLE inputHandle() { return GetStdHandle(STD_INPUT_HANDLE); }
std::uint64_t fileTimeMs(const FILETIME &ft) {
    return ((std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000;
}
} // namespace

bool stdinIsConsole() {
    DWORD mode;
    return GetConsoleMode(inputHandle(), &mode) != 0;
}

bool stderrIsConsole() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void prepareConsole() {
    DWORD mode;
    if (GetConsoleMode(inputHandle(), &mode)) {
        SetConsoleMode(inputHandle(), mode & ~(ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT));
        FlushConsoleInputBuffer(inputHandle());
    }
}

bool inputWaiting() {
    DWORD available = 0;
    if (!PeekNamedPipe(inputHandle(), nullptr, 0, nullptr, &available, nullptr)) return true;
    return available > 0;
}

// Console events do not tell whether a whole line is ready; a read could block the search.
bool consoleLineWaiting() { return false; }

long readInput(char *buffer, unsigned long size) {
    DWORD n = 0;
    if (!ReadFile(inputHandle(), buffer, DWORD(size), &n, nullptr)) return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    return long(n);
}

std::uint64_t wallClockMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return fileTimeMs(ft);
}

std::uint64_t processTimeMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return fileTimeMs(kernel) + fileTimeMs(user);
}

std::vector<std::string> listFiles(const std::string &directory, const std::string &suffix) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    std::string pattern = (directory.empty() ? std::string(".") : directory) + "\\*" + suffix;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

char pathSeparator() { return '\\'; }

char pathListSeparator() { return ';'; }

// Windows offers neither cheap links for every user nor fork: the tables' folders are used as
// they are, and files are checked by their headers only.
std::string makePrivateFolder(const char *) { return std::string(); }
void removeFolder(const std::string &) {}
bool linkFile(const std::string &, const std::string &) { return false; }
std::string absolutePath(const std::string &path) { return path; }
std::string programFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::string program(path, n);
    return program.substr(0, program.find_last_of("\\/"));
}
IsolatedRun runIsolated(void (*)(void *, int), void *) { return IsolatedRun{}; }
void sendReport(int, const std::string &) {}
int silenceErrorOutput() { return -1; }
void lowerThreadPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }
void restoreErrorOutput(int) {}

// Large pages on Windows need a privilege most users lack; plain committed pages serve.
void *allocateLargeTable(std::size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void freeLargeTable(void *table) {
    if (table) VirtualFree(table, 0, MEM_RELEASE);
}

bool seekFile(std::FILE *file, std::uint64_t offset) {
    return _fseeki64(file, __int64(offset), SEEK_SET) == 0;
}

} // namespace platform

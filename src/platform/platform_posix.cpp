#include "platform/platform.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace platform {

bool stdinIsConsole() { return isatty(STDIN_FILENO) != 0; }

bool stderrIsConsole() { return isatty(STDERR_FILENO) != 0; }

void prepareConsole() { tcflush(STDIN_FILENO, TCIFLUSH); }

bool inputWaiting() {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    int r = poll(&p, 1, 0);
    if (r < 0) return errno != EINTR;
    return r > 0; // POLLIN, POLLHUP and POLLERR all mean a read will not block
}

// A terminal in canonical mode reports input only once a whole line was typed.
bool consoleLineWaiting() { return inputWaiting(); }

long readInput(char *buffer, unsigned long size) {
    for (;;) {
        ssize_t n = read(STDIN_FILENO, buffer, size);
        if (n >= 0) return long(n);
        if (errno != EINTR) return -1;
    }
}

std::uint64_t wallClockMs() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::uint64_t(ts.tv_sec) * 1000 + std::uint64_t(ts.tv_nsec) / 1000000;
}

std::uint64_t processTimeMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return std::uint64_t(ts.tv_sec) * 1000 + std::uint64_t(ts.tv_nsec) / 1000000;
}

std::vector<std::string> listFiles(const std::string &directory, const std::string &suffix) {
    std::vector<std::string> names;
    DIR *dir = opendir(directory.empty() ? "." : directory.c_str());
    if (!dir) return names;
    while (dirent *e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        struct stat st;
        std::string path = directory.empty() ? name : directory + pathSeparator() + name;
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    closedir(dir);
    return names;
}

char pathSeparator() { return '/'; }

void *allocateLargeTable(std::size_t bytes) {
    constexpr std::size_t LARGE_PAGE = std::size_t(2) << 20;
    std::size_t rounded = (bytes + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE;
    void *table = nullptr;
    if (posix_memalign(&table, LARGE_PAGE, rounded) != 0) return nullptr;
#if defined(MADV_HUGEPAGE)
    madvise(table, rounded, MADV_HUGEPAGE); // only advice: without large pages the table still works
#endif
    return table;
}

void freeLargeTable(void *table) { std::free(table); }

bool seekFile(std::FILE *file, std::uint64_t offset) { return fseeko(file, off_t(offset), SEEK_SET) == 0; }

} // namespace platform

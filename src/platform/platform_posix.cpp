#include "platform/platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/syscall.h>
#include <sys/wait.h>
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

char pathListSeparator() { return ':'; }

std::string makePrivateFolder(const char *prefix) {
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    return mkdtemp(name.data()) ? std::string(name.data()) : std::string();
}

void removeFolder(const std::string &folder) {
    if (folder.empty()) return;
    if (DIR *dir = opendir(folder.c_str())) {
        while (dirent *e = readdir(dir))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                unlink((folder + "/" + e->d_name).c_str());
        closedir(dir);
    }
    rmdir(folder.c_str());
}

bool linkFile(const std::string &target, const std::string &link) {
    return symlink(target.c_str(), link.c_str()) == 0;
}

std::string absolutePath(const std::string &path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string programFolder() {
#if defined(__linux__)
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::string program(path, std::size_t(n));
    return program.substr(0, program.rfind('/'));
#else
    return {};
#endif
}

void lowerThreadPriority() {
#if defined(__linux__)
    constexpr int HELPER_NICE = 10; // a tenth of a normal thread's share where they compete
    setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), HELPER_NICE);
#endif
}

int silenceErrorOutput() {
    std::fflush(nullptr);
    int saved = dup(STDERR_FILENO);
    int nowhere = open("/dev/null", O_WRONLY);
    if (nowhere >= 0) {
        dup2(nowhere, STDERR_FILENO);
        close(nowhere);
    }
    return saved;
}

void restoreErrorOutput(int saved) {
    if (saved < 0) return;
    dup2(saved, STDERR_FILENO);
    close(saved);
}

void sendReport(int report, const std::string &line) {
    std::fflush(nullptr); // what the library printed so far comes first
    std::string text = line + "\n";
    for (std::size_t done = 0; done < text.size();) {
        ssize_t n = ::write(report, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += std::size_t(n);
    }
}

IsolatedRun runIsolated(void (*work)(void *arg, int report), void *arg) {
    IsolatedRun run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return run;
    }
    if (child == 0) {
        close(fds[0]);
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[1]);
        work(arg, STDOUT_FILENO);
        std::fflush(nullptr);
        _exit(0);
    }
    close(fds[1]);
    run.started = true;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            run.output.append(buffer, std::size_t(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.completed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

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

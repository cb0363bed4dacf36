#include "support/engine_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

} // namespace

EngineProcess::EngineProcess(const std::string &workingDirectory, const std::string &binary) {
    std::signal(SIGPIPE, SIG_IGN); // a dead engine must fail a write, not kill the test
    int in[2], out[2];
    if (pipe(in) != 0) return;
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) _exit(127);
        execl(binary.c_str(), binary.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    if (pid < 0) {
        close(in[1]);
        close(out[0]);
        return;
    }
    pid_ = pid;
    toEngine_ = in[1];
    fromEngine_ = out[0];
}

EngineProcess::~EngineProcess() {
    closeInput();
    if (fromEngine_ >= 0) close(fromEngine_);
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool EngineProcess::write(std::string_view bytes) {
    while (!bytes.empty()) {
        if (toEngine_ < 0) return false;
        ssize_t n = ::write(toEngine_, bytes.data(), bytes.size());
        if (n <= 0) return false;
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

void EngineProcess::closeInput() {
    if (toEngine_ >= 0) close(toEngine_);
    toEngine_ = -1;
}

std::optional<std::string> EngineProcess::readLine(int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        if (outputClosed_ || fromEngine_ < 0) return std::nullopt;
        pollfd p{fromEngine_, POLLIN, 0};
        int ready = poll(&p, 1, remainingMs(deadline));
        if (ready <= 0) return std::nullopt; // timeout
        char chunk[4096];
        ssize_t n = read(fromEngine_, chunk, sizeof chunk);
        if (n <= 0) {
            outputClosed_ = true;
            if (!buffer_.empty()) { // a last line without line end
                std::string line = buffer_;
                buffer_.clear();
                return line;
            }
            return std::nullopt;
        }
        buffer_.append(chunk, std::size_t(n));
    }
}

std::optional<std::vector<std::string>> EngineProcess::readUntil(std::string_view last, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::string> lines;
    for (;;) {
        auto line = readLine(remainingMs(deadline));
        if (!line) return std::nullopt;
        if (*line == last) return lines;
        lines.push_back(*line);
    }
}

std::vector<std::string> EngineProcess::readToEnd(int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::string> lines;
    while (auto line = readLine(remainingMs(deadline)))
        lines.push_back(*line);
    return lines;
}

std::vector<std::string> EngineProcess::readThrough(std::string_view prefix, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::string> lines;
    while (auto line = readLine(remainingMs(deadline))) {
        lines.push_back(*line);
        if (startsWith(*line, prefix)) return lines;
    }
    lines.push_back("<timeout>");
    return lines;
}

bool EngineProcess::uciHandshake(const std::vector<std::string> &setup) {
    if (!send("uci") || !readUntil("uciok")) return false;
    for (const auto &line : setup)
        send(line);
    send("isready");
    return readUntil("readyok").has_value();
}

std::optional<int> EngineProcess::waitExit(int timeoutMs) {
    if (pid_ <= 0) return std::nullopt;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            pid_ = -1;
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return std::nullopt;
        }
        if (remainingMs(deadline) == 0) return std::nullopt;
        usleep(2000);
    }
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorlan-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

void TempDirectory::write(const std::string &name, std::string_view bytes) const {
    std::filesystem::path p = std::filesystem::path(path_) / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string TempDirectory::read(const std::string &name) const {
    std::ifstream f(std::filesystem::path(path_) / name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

} // namespace testsupport

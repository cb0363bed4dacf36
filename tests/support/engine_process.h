// Runs the real engine binary as a child process with pipes, for protocol tests. Every read has
// a timeout so a hung engine fails the test instead of hanging it. POSIX only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

inline constexpr int DEFAULT_READ_TIMEOUT_MS =
    15000; // generous: a loaded machine or the sanitizers slow start-up

class EngineProcess {
  public:
    // Starts `binary` (the engine by default) in `workingDirectory` (the test's own when empty).
    explicit EngineProcess(const std::string &workingDirectory = "",
                           const std::string &binary = VORLAN_BINARY);
    ~EngineProcess(); // kills the engine if it still runs
    EngineProcess(const EngineProcess &) = delete;
    EngineProcess &operator=(const EngineProcess &) = delete;

    bool started() const { return pid_ > 0; }
    // Writes raw bytes (no line end added); false when the engine no longer reads.
    bool write(std::string_view bytes);
    bool send(std::string_view line) { return write(std::string(line) + "\n"); }
    // Closes the engine's standard input (end of input).
    void closeInput();

    // The next output line without its line end; nothing when none arrives within the timeout
    // or the engine closed its output.
    std::optional<std::string> readLine(int timeoutMs = DEFAULT_READ_TIMEOUT_MS);
    // Reads lines up to and including the first equal to `last`; the lines before it are returned.
    // Fails (returns nothing) when `last` does not arrive in time.
    std::optional<std::vector<std::string>> readUntil(std::string_view last,
                                                      int timeoutMs = DEFAULT_READ_TIMEOUT_MS);
    // Reads every line until the engine closes its output (it exits), within the timeout.
    std::vector<std::string> readToEnd(int timeoutMs = DEFAULT_READ_TIMEOUT_MS);
    // Lines up to and including the first that starts with `prefix`; "<timeout>" ends them when it
    // does not come in time.
    std::vector<std::string> readThrough(std::string_view prefix, int timeoutMs = DEFAULT_READ_TIMEOUT_MS);
    // "uci", then the set-up lines; true once the engine answered "isready".
    bool uciHandshake(const std::vector<std::string> &setup = {});

    // Waits for the engine to end; its exit code, or nothing on timeout or a signal.
    std::optional<int> waitExit(int timeoutMs = DEFAULT_READ_TIMEOUT_MS);

  private:
    int pid_ = -1;
    int toEngine_ = -1;
    int fromEngine_ = -1;
    std::string buffer_;
    bool outputClosed_ = false;
};

bool startsWith(std::string_view s, std::string_view prefix);

// A fresh empty directory under the system's temporary directory, removed with its contents
// when the object goes away.
class TempDirectory {
  public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory &) = delete;
    TempDirectory &operator=(const TempDirectory &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }
    // Creates (or overwrites) a file below the directory with exactly these bytes.
    void write(const std::string &name, std::string_view bytes) const;
    std::string read(const std::string &name) const;

  private:
    std::string path_;
};

} // namespace testsupport

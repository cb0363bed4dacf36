// Work split over threads, with a progress bar on standard error while it runs.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace tbgen {

struct Progress {
    std::string label;       // table name
    std::string stage;       // what the bar measures
    std::uint64_t total = 0; // units of the stage
    std::atomic<std::uint64_t> done{0};
    std::chrono::steady_clock::time_point started; // of the stage, for the time left
    void begin(const std::string &what, std::uint64_t units) {
        stage = what, total = units, done = 0, started = std::chrono::steady_clock::now();
    }
};

// Runs work(begin, end) over [0, count) in chunks on `threads` threads; the calling thread
// draws the bar (only when standard error is a terminal). With countChunks the bar counts the
// indices done, otherwise the work updates progress.done itself.
void parallelFor(std::uint64_t count, int threads, Progress &progress,
                 const std::function<void(std::uint64_t, std::uint64_t)> &work, bool countChunks = true);
// Clears the bar line.
void endProgress();
// Elapsed seconds since the program started.
double secondsSinceStart();

} // namespace tbgen

#include "tbgen/parallel.h"

#include "platform/platform.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace tbgen {

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point Started = Clock::now();
constexpr std::uint64_t CHUNK = 1 << 14;
constexpr int BAR_WIDTH = 24;
constexpr auto REDRAW = std::chrono::milliseconds(250);

bool BarShown = false;
Clock::time_point LastDraw;

std::string count(std::uint64_t n) {
    char text[32];
    if (n >= 10000000)
        std::snprintf(text, sizeof text, "%.0fM", double(n) / 1e6);
    else if (n >= 10000)
        std::snprintf(text, sizeof text, "%.0fk", double(n) / 1e3);
    else
        std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(n));
    return text;
}

void draw(const Progress &p, double seconds) {
    std::uint64_t done = std::min(p.done.load(), p.total);
    double fraction = p.total ? double(done) / double(p.total) : 1.0;
    int filled = int(fraction * BAR_WIDTH);
    std::string bar =
        std::string(std::size_t(filled), '#') + std::string(std::size_t(BAR_WIDTH - filled), '.');
    char left[32] = "?";
    if (done > 0 && seconds > 0.5)
        std::snprintf(left, sizeof left, "%.0f s", seconds * (1 - fraction) / fraction);
    std::fprintf(stderr, "\r%-7s %-18s [%s] %3d%%  %s/%s positions  %s left   ", p.label.c_str(),
                 p.stage.c_str(), bar.c_str(), int(fraction * 100), count(done).c_str(),
                 count(p.total).c_str(), left);
    std::fflush(stderr);
    BarShown = true;
}

} // namespace

double secondsSinceStart() { return std::chrono::duration<double>(Clock::now() - Started).count(); }

void endProgress() {
    if (!BarShown) return;
    std::fprintf(stderr, "\r%*s\r", 110, "");
    std::fflush(stderr);
    BarShown = false;
}

void parallelFor(std::uint64_t count, int threads, Progress &progress,
                 const std::function<void(std::uint64_t, std::uint64_t)> &work, bool countChunks) {
    std::atomic<std::uint64_t> next{0};
    int running = threads;
    std::mutex lock;
    std::condition_variable finished;
    auto worker = [&] {
        for (;;) {
            std::uint64_t begin = next.fetch_add(CHUNK);
            if (begin >= count) break;
            std::uint64_t end = std::min(count, begin + CHUNK);
            work(begin, end);
            if (countChunks) progress.done += end - begin;
        }
        std::lock_guard<std::mutex> hold(lock);
        if (--running == 0) finished.notify_one();
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i)
        pool.emplace_back(worker);
    bool terminal = platform::stderrIsConsole();
    auto maybeDraw = [&] {
        if (!terminal || Clock::now() - LastDraw < REDRAW) return;
        draw(progress, std::chrono::duration<double>(Clock::now() - progress.started).count());
        LastDraw = Clock::now();
    };
    {
        std::unique_lock<std::mutex> hold(lock);
        while (!finished.wait_for(hold, REDRAW / 5, [&] { return running == 0; }))
            maybeDraw();
    }
    maybeDraw();
    for (auto &t : pool)
        t.join();
}

} // namespace tbgen

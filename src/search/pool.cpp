#include "search/pool.h"

#include "platform/platform.h"
#include "search/root.h"
#include "search/thread.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace search {

namespace {

struct Helper {
    std::thread thread;
    bool quit = false;
    std::uint64_t round = 0; // the last search it ran
};

// Never destroyed: the program may end (quit, end of input) while helpers wait on them.
std::mutex &PoolLock = *new std::mutex;
std::condition_variable &Wake = *new std::condition_variable;     // a new search, or quit
std::condition_variable &Finished = *new std::condition_variable; // the last running helper stopped
Helper *const Pool = new Helper[MAX_THREADS];
std::uint64_t Round = 0;
int Running = 0;
thread_local int CurrentThread = 0;

void helperLoop(int index) {
    CurrentThread = index;
    // With more threads than processors (other programs, or more threads than cores), the main
    // thread keeps its processor: it alone completes the iterations that decide the move.
    platform::lowerThreadPriority();
    std::unique_lock<std::mutex> lock(PoolLock);
    Helper &h = Pool[index];
    for (;;) {
        Wake.wait(lock, [&] { return h.quit || h.round != Round; });
        if (h.quit) return;
        h.round = Round;
        lock.unlock();
        helperSearch(*Threads[index]);
        lock.lock();
        if (--Running == 0) Finished.notify_all();
    }
}

void stopHelper(int index) {
    {
        std::lock_guard<std::mutex> lock(PoolLock);
        Pool[index].quit = true;
    }
    Wake.notify_all();
    Pool[index].thread.join();
    Pool[index] = Helper{};
    deleteSearchThread(Threads[index]);
    Threads[index] = nullptr;
}

} // namespace

int setThreadCount(int count) {
    if (count < 1) count = 1;
    if (count > MAX_THREADS) count = MAX_THREADS;
    while (ThreadCount > count)
        stopHelper(--ThreadCount);
    while (ThreadCount < count) {
        SearchThread *t = newSearchThread(ThreadCount);
        if (!t) break;
        if (!t->pawns.entries) { // a helper without its pawn table would be slower than none
            deleteSearchThread(t);
            break;
        }
        Threads[ThreadCount] = t;
        Pool[ThreadCount].round = Round;
        Pool[ThreadCount].thread = std::thread(helperLoop, ThreadCount);
        ++ThreadCount;
    }
    return ThreadCount;
}

void startHelpers() {
    if (ThreadCount == 1) return;
    {
        std::lock_guard<std::mutex> lock(PoolLock);
        Running = ThreadCount - 1;
        ++Round;
    }
    Wake.notify_all();
}

void waitForHelpers() {
    std::unique_lock<std::mutex> lock(PoolLock);
    Finished.wait(lock, [] { return Running == 0; });
}

int currentThreadIndex() { return CurrentThread; }

void runInParallel(int parts, void (*work)(int part, int parts)) {
    std::vector<std::thread> others;
    for (int part = 1; part < parts; ++part)
        others.emplace_back(work, part, parts);
    work(0, parts);
    for (std::thread &t : others)
        t.join();
}

} // namespace search

#include "search/thread.h"

#include "search/picker.h"

#include <cstring>
#include <new>

namespace search {

SearchThread *Threads[MAX_THREADS];
int ThreadCount = 1;

SearchThread *newSearchThread(int index) {
    SearchThread *t = new (std::nothrow) SearchThread();
    if (!t) return nullptr;
    eval::allocatePawnTable(t->pawns);
    for (auto &h : t->history)
        h = HISTORY_START;
    t->index = index;
    t->ply = -1;
    return t;
}

void deleteSearchThread(SearchThread *thread) {
    if (!thread) return;
    eval::freePawnTable(thread->pawns);
    delete thread;
}

void allocateSearchThreads() {
    // Thread 0 lives as long as the program: its record and tables stay reachable from Threads.
    if (!Threads[0]) Threads[0] = newSearchThread(0);
    Threads[0]->ply = -1;
}

std::uint64_t searchedNodes() {
    std::uint64_t nodes = 0;
    for (int i = 0; i < ThreadCount; ++i)
        nodes += Threads[i]->nodeCount.load(std::memory_order_relaxed);
    return nodes;
}

std::uint64_t searchedTableHits() {
    std::uint64_t hits = 0;
    for (int i = 0; i < ThreadCount; ++i)
        hits += Threads[i]->tableHits.load(std::memory_order_relaxed);
    return hits;
}

void shiftKillers(SearchThread &thread) {
    std::memmove(thread.killers[0], thread.killers[2], sizeof(thread.killers[0]) * (KILLER_PLIES - 2));
}

void clearKillers(SearchThread &thread) { std::memset(thread.killers, 0, sizeof(thread.killers)); }

void resetHistory() {
    for (SearchThread *t : Threads)
        if (t)
            for (auto &h : t->history)
                h = HISTORY_START;
}

} // namespace search

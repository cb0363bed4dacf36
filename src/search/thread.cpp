#include "search/thread.h"

#include "search/picker.h"

#include <cstring>

namespace search {

SearchThread *Threads[MAX_THREADS];

void allocateSearchThreads() {
    // Thread 0 lives as long as the program: its record and tables stay reachable from Threads.
    if (!Threads[0]) {
        Threads[0] = new SearchThread();
        eval::allocatePawnTable(Threads[0]->pawns);
        for (auto &h : Threads[0]->history)
            h = HISTORY_START;
    }
    Threads[0]->index = 0;
    Threads[0]->ply = -1;
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

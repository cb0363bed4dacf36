#include "search/thread.h"

#include "search/picker.h"

#include <cstring>
#include <memory>

namespace search {

SearchThread *Threads[MAX_THREADS];

void allocateSearchThreads() {
    static std::unique_ptr<SearchThread> thread0;
    if (!thread0) {
        thread0 = std::make_unique<SearchThread>();
        eval::allocatePawnTable(thread0->pawns);
        for (auto &h : thread0->history)
            h = HISTORY_START;
    }
    thread0->index = 0;
    thread0->ply = -1;
    Threads[0] = thread0.get();
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

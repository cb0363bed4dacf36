#include "search/thread.h"

#include <memory>

namespace search {

SearchThread *Threads[MAX_THREADS];

void allocateSearchThreads() {
    static std::unique_ptr<SearchThread> thread0;
    if (!thread0) thread0 = std::make_unique<SearchThread>();
    thread0->ply = -1;
    Threads[0] = thread0.get();
}

} // namespace search

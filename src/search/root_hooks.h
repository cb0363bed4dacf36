// Root duties that the main search performs at the main thread's root node; the root driver
// owns them.
#pragma once

#include "position/types.h"

#include <cstdint>

namespace search {

struct SearchThread;

// Records a new best root move (and the reply expected after it) with its score.
void setBestMove(position::Move move, position::Move ponder, std::int32_t score);
// Reports the line from the thread's position that starts with `first` (the best known line
// when `first` is NO_MOVE), as row `multipvIndex` of the result.
void reportSearchInfo(SearchThread &thread, std::int32_t score, std::int32_t multipvIndex,
                      position::Move first);
// MultiPV: the root's move list at the end of a completed full-depth pass, for the result set.
void recordRootRows(SearchThread &thread, const position::MoveEntry *moves, int count);

} // namespace search

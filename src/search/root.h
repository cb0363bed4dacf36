// The root driver: one request to think becomes one root result. Iterative deepening with
// aspiration windows around the main search, the principal variation, and the ponder move.
#pragma once

#include "position/types.h"
#include "search/report.h"
#include "search/root_hooks.h"

namespace search {

// Prepares and runs one search of the game position on the main thread, with the helper
// threads alongside. The result (best and ponder move, score, depth) is in Shared.rootBest;
// false when the position has no legal move.
bool startSearch();
// A helper thread's part of a search: iterative deepening on its copy of the root until the
// search stops.
void helperSearch(SearchThread &thread);
// The line from the thread's position: `first` when given, then the best known continuation.
void collectPv(SearchThread &thread, PvLine &out, position::Move first);
// The reply to expect after `best` on the thread's position, 0 when there is none.
position::Move findPonderMove(SearchThread &thread, position::Move best);

} // namespace search

// The root driver: one request to think becomes one reported move. Iterative deepening with
// aspiration windows around the main search, the principal variation, and the output lines.
#pragma once

#include "position/types.h"
#include "search/root_hooks.h"

#include <cstdint>

namespace search {

constexpr int MAX_PV_LENGTH = 1000;

struct PvLine {
    position::Move moves[MAX_PV_LENGTH];
    std::uint32_t count;
};

// Prepares and runs one search on the game position; returns when the move has been reported.
void startSearch();
// Limit test before each iteration after the first; false means stop.
bool iterationMayStart();
// The line from thread's position: `first` when given, then the best known continuation.
void collectPv(int thread, PvLine &out, position::Move first);
// The reply to expect after `best` on thread 0's position, 0 when there is none.
position::Move findPonderMove(position::Move best);
void printBestMoveWithPonder(position::Move best, position::Move ponder);
void printBestMoveOnly(position::Move best);
// "mate N" or "cp N".
void formatScore(char *out, std::size_t size, int score);

} // namespace search

// Root reporting that the main search calls at thread 0's root node, and the output the search
// produces while it runs. The root driver and the command loop own the real versions.
#pragma once

#include "position/types.h"

#include <cstdint>

namespace search {

void setBestMove(position::Move move, position::Move ponder, std::int32_t score);
void printSearchInfo(int thread, std::int32_t score, std::int32_t multipvIndex, position::Move first);
void printCurrMove(position::Move move, std::int32_t moveIndex, bool force);
void printCurrLine(int thread, bool force);
void printHashFull();
// MultiPV: the root's move list at the end of a completed full-depth pass, for the result set.
void recordRootRows(const position::MoveEntry *moves, int count);
// Whether the current protocol wants "currmove" lines (UCI).
bool protocolIsUci();

} // namespace search

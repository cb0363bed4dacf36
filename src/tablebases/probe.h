// The search's entry point into the endgame tablebases, and the conversion of table values
// into search scores.
#pragma once

#include "position/position.h"
#include "tablebases/tables.h"

#include <cstdint>

namespace tablebases {

// Looks the position up in the registered tables. Answers false when no table covers it or the
// value cannot be read; otherwise stores the score (side to move's view, mate scores relative to
// the root, draws as the search scores them at this node).
bool ProbeTablebase(const position::Position &pos, int ply, int &score);

// Where the position's value lives, whether or not its table is registered.
bool positionSpot(const position::Position &pos, TableSpot &spot);

// Table values on the two-byte scale: win in n moves 32767 - n, loss in n moves -32766 + n,
// draw 0; NO_VALUE when the table holds none.
constexpr int NO_VALUE = 32767;
int valueOfByte(std::int8_t stored);
int valueOfBytes(std::uint8_t low, std::uint8_t high);
// The stored value of a registered table side at `index` (with the known corrections); NO_VALUE
// when it cannot be read.
int tableValue(int id, int side, std::uint64_t index);
// A table value (not NO_VALUE) as a search score at `ply`; draws score `draw`.
int searchScore(int value, int ply, int draw);

} // namespace tablebases

// Move generators. Each fills the list at `list`, records it in pos.moveList/moveCount and
// scores every move as it appends it (see AddMove), so the search needs no scoring pass.
#pragma once

#include "position/position.h"

namespace position {

// Piece-square values for move ordering, indexed [type][colour][square]; rebuilt per search.
extern std::int8_t OrderingPST[6][2][64];
// Capture values by captured type (King 20000, the default piece values, 0 for empty).
extern int CaptureValue[7];
// History counters indexed from * 64 + to.
extern std::int16_t History[4096];
// Set by the search from its third iteration on: quiet moves are then ordered by history.
extern bool HistoryOrdering;

constexpr int MAX_MOVES = 256;

// Appends a move with its ordering score: from the third iteration of a search on, quiet moves
// take their history counter, all others the piece-square difference plus `bonus`.
void AddMove(Position &pos, PieceType type, Square from, Square to, std::uint32_t promotion, int bonus);
int GenerateAll(Position &pos, MoveEntry *list);
int GenerateToTargets(Position &pos, MoveEntry *list, Bitboard targets);
int GenerateEvasions(Position &pos, MoveEntry *list);
// Fully legal moves (the root, perft, the book).
int GenerateLegal(Position &pos, MoveEntry *list);

} // namespace position

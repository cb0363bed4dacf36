// Move generators. Each fills the list at `list`, records it in pos.moveList/moveCount and
// scores every move as it appends it, so the search needs no scoring pass.
#pragma once

#include "position/position.h"

namespace position {

// Piece-square values for move ordering, indexed [type][colour][square]; rebuilt per search.
extern std::int8_t OrderingPST[6][2][64];
// Capture values by captured type (King 20000, the default piece values, 0 for empty): fixed, so
// that option changes of the material values do not reach move ordering or exchange decisions.
inline constexpr int CaptureValue[7] = {20000, 975, 500, 335, 325, 100, 0};

constexpr int MAX_MOVES = 256;

// History counters of quiet moves, one per from- and to-square.
constexpr int HISTORY_SIZE = 64 * 64;
constexpr int historyIndex(Square from, Square to) { return int(from) * 64 + int(to); }

// Each generator scores every move as it appends it: captures and promotions by the captured
// value and the piece-square difference; quiet moves by their `history` counter when a table is
// given (the search orders by history from its third iteration on), else like the rest.
int GenerateAll(Position &pos, MoveEntry *list, const std::int16_t *history = nullptr);
int GenerateToTargets(Position &pos, MoveEntry *list, Bitboard targets,
                      const std::int16_t *history = nullptr);
int GenerateEvasions(Position &pos, MoveEntry *list, const std::int16_t *history = nullptr);
// Fully legal moves (the root, perft, the book).
int GenerateLegal(Position &pos, MoveEntry *list, const std::int16_t *history = nullptr);

} // namespace position

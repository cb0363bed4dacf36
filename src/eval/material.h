// The material step: piece and pawn values, pair bonuses, pawn-count adjustments, imbalance,
// followed by the drawish-material knowledge.
#pragma once

#include "position/position.h"

namespace eval {

constexpr int TempoBonus = 10;
constexpr int LazyMargin = 300;

// Value of all of a side's pawns together, by their number.
extern const int PawnMaterial[9];
inline int pawnMaterial(unsigned count) { return PawnMaterial[count > 8 ? 8 : count]; }

// Material score (White's view); sets evalMode and nullMoveAllowed in the scratch.
int materialStep(position::Position &pos);
// +TempoBonus with White to move, -TempoBonus with Black to move.
inline int tempo(const position::Position &pos) {
    return pos.sideToMove == position::WHITE ? TempoBonus : -TempoBonus;
}

} // namespace eval

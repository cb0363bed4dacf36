// King shelter and the king-attack evaluation (middlegame only).
#pragma once

#include "position/position.h"

namespace eval {

// Pawn shelter of colour c's king (its own point of view); may add a trapped-rook penalty.
int kingShelter(position::Position &pos, position::Colour c);
// King danger of both sides after all pieces were visited (White's view); adds the shelter
// difference to the midgame accumulator.
int evaluateKingSafety(position::Position &pos);

// Clamps the king-danger index to the table.
int kingDanger(int index);

} // namespace eval

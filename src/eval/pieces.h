// Piece terms of the full evaluation: mobility, outposts, placement patterns, trapped pieces,
// attack maps for the king attack, and the threat bonus.
#pragma once

#include "position/position.h"

namespace eval {

// Each adds to the scratch fields of colour c.
void evaluateTrappedBishops(position::Position &pos, position::Colour c);
void evaluateKnight(position::Position &pos, position::Square q, position::Colour c);
void evaluateBishop(position::Position &pos, position::Square q, position::Colour c);
void evaluateRook(position::Position &pos, position::Square q, position::Colour c);
void evaluateQueen(position::Position &pos, position::Square q, position::Colour c);

// One side's half of the threat bonus: its attacks on enemy minors and rooks.
int pieceAttacks(const position::Position &pos, position::Colour c);

} // namespace eval

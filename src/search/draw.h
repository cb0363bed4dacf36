// The score of a drawn position, with contempt for the engine's side.
#pragma once

#include "position/position.h"

namespace search {

// A side with less non-pawn material than this is content with a draw: no contempt applies.
constexpr int CONTEMPT_MATERIAL = 1201;

// Draw score for `side` to move in pos: 0 in analysis (engine colour 2); otherwise minus
// "Contempt" for the engine (when it has the material to play on), plus it for the opponent.
int drawScore(const position::Position &pos, position::Colour side);
inline int drawScore(const position::Position &pos) {
    return drawScore(pos, position::Colour(pos.sideToMove));
}

} // namespace search

// Static evaluation: the quick form (material, tables, pawns, endgame scalings) and the full form
// (pieces, threats, king safety, special endgames). Scores are for the side to move.
#pragma once

#include "position/position.h"

namespace eval {

// Start-up: constants, piece-square tables, king-wing and distance tables, evaluation masks.
void initEvaluation();
int quickEvaluate(position::Position &pos);
// Precondition: quickEvaluate ran on the same position and left the normal evaluation mode.
int fullEvaluate(position::Position &pos);
int fiftyMoveTaper(const position::Position &pos, int score);
bool isRecognisedDraw(const position::Position &pos);

} // namespace eval

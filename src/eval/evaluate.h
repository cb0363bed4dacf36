// Static evaluation: the quick form (material, tables, pawns, endgame scalings) and the full form
// (pieces, threats, king safety, special endgames). Scores are for the side to move.
#pragma once

#include "eval/pawns.h"
#include "position/position.h"

namespace eval {

// Start-up: piece-square tables, king-wing, distance and corner tables, evaluation masks. Call
// after the attack tables and before any position is set up (the position keeps sums of the
// piece-square tables). Piece values and weights keep what the options set.
// Per-search and option calls live in weights.h, tables.h (buildBlendedPst) and report.h
// (evaluationReport).
void initEvaluation();
// `pawns`: the calling search thread's pawn-structure cache; none outside a search.
int quickEvaluate(position::Position &pos, PawnTable *pawns = nullptr);
// Precondition: quickEvaluate ran on the same position and left the normal evaluation mode.
int fullEvaluate(position::Position &pos, PawnTable *pawns = nullptr);
int fiftyMoveTaper(const position::Position &pos, int score);
bool isRecognisedDraw(const position::Position &pos);

} // namespace eval

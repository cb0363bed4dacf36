// The term-by-term evaluation report of the "eval" command.
#pragma once

#include "position/position.h"

namespace eval {

// The terms of one position. Pairs are indexed by colour, except `pawnStructure`: middlegame and
// endgame score, White's view.
struct EvaluationReport {
    int quick; // the approximation used for lazy evaluation, side to move's view
    int total; // the full evaluation, White's view
    int pieces[2], pawns[2], pstMg[2], pstEg[2];
    int mobilityMg[2], mobilityEg[2], blockages[2], outposts[2], patterns[2], pieceAttacks[2];
    int pawnStructure[2];
    int passedPawns, kings;
    int kingAttackers[2], kingPressure[2];
};

// Evaluates the position term by term (its scratch fields are overwritten, each term after the
// ones listed before it). Never stores into the pawn hash.
EvaluationReport evaluationReport(position::Position &pos);

} // namespace eval

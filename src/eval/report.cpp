#include "eval/report.h"

#include "eval/evaluate.h"
#include "eval/king.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "eval/tables.h"

namespace eval {

using namespace position;

EvaluationReport evaluationReport(Position &pos) {
    pos.evalWork = EvalScratch{}; // fields a special evaluator leaves untouched report zeros
    const auto &w = pos.evalWork;

    EvaluationReport r;
    r.quick = quickEvaluate(pos);
    int full = w.evalMode == EvalNormal ? fullEvaluate(pos) : r.quick;
    r.total = pos.sideToMove == WHITE ? full : -full;
    for (int c = 0; c < 2; ++c) {
        r.pieces[c] = pos.material[c];
        r.pawns[c] = pawnMaterial(pos.pieceCount[c][PAWN]);
        r.pstMg[c] = pos.pstMg[c];
        r.pstEg[c] = pos.pstEg[c];
        r.mobilityMg[c] = w.mobilityMid[c];
        r.mobilityEg[c] = w.mobilityEnd[c];
        r.blockages[c] = w.patternPenalty[c];
        r.outposts[c] = w.outpostScore[c];
        r.patterns[c] = w.pieceBonus[c];
        r.pieceAttacks[c] = pieceAttacks(pos, Colour(c));
    }
    // The pawn, passer and king terms fill the scratch fields the later terms read.
    evaluatePawns(pos, nullptr);
    r.pawnStructure[0] = w.pawnMid;
    r.pawnStructure[1] = w.pawnEnd;
    r.passedPawns = passedPawnScore(pos);
    r.kings = evaluateKingSafety(pos);
    for (int c = 0; c < 2; ++c) {
        r.kingAttackers[c] = w.kingAttackers[c];
        r.kingPressure[c] = w.kingAttackUnits[c];
    }

    return r;
}

} // namespace eval

#include "eval/report.h"

#include "eval/evaluate.h"
#include "eval/king.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "eval/tables.h"

#include <cstdio>

namespace eval {

using namespace position;

namespace {
constexpr const char *LONG_RULE = "\n-------------------------------------------\n";
constexpr const char *SHORT_RULE = "\n----------------------\n";

void labelledPair(const char *label, int white, int black) {
    std::fputs(label, stdout);
    pairLine(white, black);
}
} // namespace

void pairLine(int white, int black) {
    std::printf("white %5d, black %5d total %5d \n", white, black, white - black);
}

void printEvaluation(Position &pos) {
    pos.evalWork = EvalScratch{}; // fields a special evaluator leaves untouched print as zeros
    const auto &w = pos.evalWork;

    std::fputs(LONG_RULE, stdout);
    int quick = quickEvaluate(pos);
    std::printf("Approximation used for lazy eval  : %d", quick);
    int full = w.evalMode == EvalNormal ? fullEvaluate(pos) : quick;
    std::fputs(LONG_RULE, stdout);
    std::printf("Total (from White's point of view): %d", pos.sideToMove == WHITE ? full : -full);
    std::fputs(SHORT_RULE, stdout);

    labelledPair("Pieces        : ", pos.material[WHITE], pos.material[BLACK]);
    labelledPair("Pawns         : ", pawnMaterial(pos.pieceCount[WHITE][PAWN]),
                 pawnMaterial(pos.pieceCount[BLACK][PAWN]));
    labelledPair("PCSQ MIDGAME  : ", pos.pstMg[WHITE], pos.pstMg[BLACK]);
    labelledPair("PCSQ ENDGAME  : ", pos.pstEg[WHITE], pos.pstEg[BLACK]);
    labelledPair("Mobility mg   : ", w.mobilityMid[WHITE], w.mobilityMid[BLACK]);
    labelledPair("Mobility eg   : ", w.mobilityEnd[WHITE], w.mobilityEnd[BLACK]);
    labelledPair("b->e.blockages     : ", w.patternPenalty[WHITE], w.patternPenalty[BLACK]);
    labelledPair("Strong squares: ", w.outpostScore[WHITE], w.outpostScore[BLACK]);
    labelledPair("Patterns      : ", w.pieceBonus[WHITE], w.pieceBonus[BLACK]);
    labelledPair("Piece_attacks : ", pieceAttacks(pos, WHITE), pieceAttacks(pos, BLACK));
    evaluatePawns(pos, nullptr);
    labelledPair("Pawn structure: ", w.pawnMid, w.pawnEnd);
    std::printf("Passed pawns  : %d\n", passedPawnScore(pos));
    std::printf("Kings         : %d\n", evaluateKingSafety(pos));
    labelledPair("Attackers     : ", w.kingAttackers[WHITE], w.kingAttackers[BLACK]);
    labelledPair("Pressure      : ", w.kingAttackUnits[WHITE], w.kingAttackUnits[BLACK]);
    std::fputs(SHORT_RULE, stdout);
    std::fflush(stdout);
}

} // namespace eval

#include "control/eval_report.h"

#include <cstdio>

namespace control {

namespace {

constexpr const char *LONG_RULE = "\n-------------------------------------------\n";
constexpr const char *SHORT_RULE = "\n----------------------\n";

void pairLine(const char *label, const int (&pair)[2]) {
    std::printf("%swhite %5d, black %5d total %5d \n", label, pair[0], pair[1], pair[0] - pair[1]);
}

} // namespace

void printEvaluation(const eval::EvaluationReport &r) {
    std::fputs(LONG_RULE, stdout);
    std::printf("Approximation used for lazy eval  : %d", r.quick);
    std::fputs(LONG_RULE, stdout);
    std::printf("Total (from White's point of view): %d", r.total);
    std::fputs(SHORT_RULE, stdout);

    pairLine("Pieces        : ", r.pieces);
    pairLine("Pawns         : ", r.pawns);
    pairLine("PCSQ MIDGAME  : ", r.pstMg);
    pairLine("PCSQ ENDGAME  : ", r.pstEg);
    pairLine("Mobility mg   : ", r.mobilityMg);
    pairLine("Mobility eg   : ", r.mobilityEg);
    pairLine("b->e.blockages     : ", r.blockages);
    pairLine("Strong squares: ", r.outposts);
    pairLine("Patterns      : ", r.patterns);
    pairLine("Piece_attacks : ", r.pieceAttacks);
    pairLine("Pawn structure: ", r.pawnStructure);
    std::printf("Passed pawns  : %d\n", r.passedPawns);
    std::printf("Kings         : %d\n", r.kings);
    pairLine("Attackers     : ", r.kingAttackers);
    pairLine("Pressure      : ", r.kingPressure);
    std::fputs(SHORT_RULE, stdout);
    std::fflush(stdout);
}

} // namespace control

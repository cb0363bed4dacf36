// The evaluation report of the "eval" command: its terms, and that it leaves the pawn hash alone.
#include "eval_support.h"

#include "eval/pawns.h"
#include "eval/report.h"
#include "position/fen.h"

using namespace position;
using namespace evaltest;

namespace {

class ReportTest : public EvalTest {};

eval::EvaluationReport report(const std::string &fen) {
    LoadFen(fen);
    static Position copy;
    copy = GamePosition;
    return eval::evaluationReport(copy);
}

TEST_F(ReportTest, TermsOfSymmetricAndOneSidedPositions) {
    eval::EvaluationReport r = report(START_FEN);
    EXPECT_EQ(r.quick, 10);
    // The start position is symmetric: every pair of terms is even.
    const int(*pairs[])[2] = {&r.pieces,      &r.pawns,        &r.pstMg,         &r.pstEg,
                              &r.mobilityMg,  &r.mobilityEg,   &r.blockages,     &r.outposts,
                              &r.patterns,    &r.pieceAttacks, &r.pawnStructure, &r.kingAttackers,
                              &r.kingPressure};
    for (const auto *pair : pairs)
        EXPECT_EQ((*pair)[0], (*pair)[1]) << pair - pairs[0];
    EXPECT_EQ(r.pieces[WHITE], 3295);
    EXPECT_EQ(r.passedPawns, 0);
    EXPECT_EQ(r.kings, 0);
    // The total is White's view whoever is to move; a material-only verdict is reported as it is.
    setEqualWeights();
    r = report("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_EQ(r.quick, 10);
    EXPECT_EQ(r.total, -10);
    r = report("7k/8/8/8/8/7P/7P/K7 w - - 0 1");
    EXPECT_EQ(r.quick, 1);
    EXPECT_EQ(r.total, 1);
}

} // namespace

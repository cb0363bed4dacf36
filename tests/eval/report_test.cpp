// The evaluation report printed by the "eval" command.
#include "eval_support.h"

#include "eval/pawns.h"
#include "eval/report.h"
#include "position/fen.h"

#include <sstream>

using namespace position;
using namespace evaltest;

namespace {

class ReportTest : public EvalTest {};

std::string report(const std::string &fen) {
    LoadFen(fen);
    ::testing::internal::CaptureStdout();
    static Position copy;
    copy = GamePosition;
    eval::printEvaluation(copy);
    return ::testing::internal::GetCapturedStdout();
}

TEST_F(ReportTest, StartPositionReport) {
    std::string text = report(START_FEN);
    EXPECT_EQ(text.rfind("\n-------------------------------------------\n", 0), 0u);
    EXPECT_NE(text.find("Approximation used for lazy eval  : 10\n---"), std::string::npos);
    EXPECT_NE(text.find("Total (from White's point of view): "), std::string::npos);
    const char *labels[] = {
        "Pieces        : ", "Pawns         : ", "PCSQ MIDGAME  : ",      "PCSQ ENDGAME  : ",
        "Mobility mg   : ", "Mobility eg   : ", "b->e.blockages     : ", "Strong squares: ",
        "Patterns      : ", "Piece_attacks : ", "Pawn structure: ",      "Attackers     : ",
        "Pressure      : "};
    for (const char *label : labels) {
        auto at = text.find(label);
        ASSERT_NE(at, std::string::npos) << label;
        std::string line = text.substr(at, text.find('\n', at) - at);
        EXPECT_NE(line.find(" total     0 "), std::string::npos) << line;
    }
    EXPECT_NE(text.find("Pieces        : white  3295, black  3295 total     0 \n"), std::string::npos);
    EXPECT_NE(text.find("Passed pawns  : 0\n"), std::string::npos);
    EXPECT_NE(text.find("Kings         : 0\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 24), "\n----------------------\n");
    // Black to move shows both views; a material-only verdict is reported as it is.
    setEqualWeights();
    text = report("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_NE(text.find("Approximation used for lazy eval  : 10"), std::string::npos);
    EXPECT_NE(text.find("Total (from White's point of view): -10"), std::string::npos);
    text = report("7k/8/8/8/8/7P/7P/K7 w - - 0 1");
    EXPECT_NE(text.find("Approximation used for lazy eval  : 1\n"), std::string::npos);
    EXPECT_NE(text.find("Total (from White's point of view): 1\n"), std::string::npos);
}

} // namespace

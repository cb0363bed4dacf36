#include "eval_support.h"

#include "eval/pawns.h"
#include "eval/weights.h"
#include "position/fen.h"
#include "support/test_support.h"

#include <cctype>

namespace evaltest {

using namespace position;

void EvalTest::SetUpTestSuite() {
    testsupport::initOnce();
    eval::initEvaluation();
}

void EvalTest::SetUp() { eval::resetEvaluationParameters(); }

Position fromFen(const std::string &fen) {
    LoadFen(fen);
    Position pos = GamePosition;
    // A rejected FEN falls back to the start position: catch that by the piece count.
    int pieces = 0;
    for (char ch : fen.substr(0, fen.find(' ')))
        pieces += std::isalpha(static_cast<unsigned char>(ch)) ? 1 : 0;
    EXPECT_EQ(popCount(pos.all()), pieces) << "FEN rejected: " << fen;
    pos.evalWork = base::EvalScratch{};
    return pos;
}

int quickWhite(Position &pos) {
    int s = eval::quickEvaluate(pos);
    return pos.sideToMove == WHITE ? s : -s;
}
int quickWhite(const std::string &fen) {
    Position pos = fromFen(fen);
    return quickWhite(pos);
}

int fullWhite(Position &pos) {
    int s = eval::quickEvaluate(pos);
    if (pos.evalWork.evalMode == base::EvalNormal) s = eval::fullEvaluate(pos);
    return pos.sideToMove == WHITE ? s : -s;
}
int fullWhite(const std::string &fen) {
    Position pos = fromFen(fen);
    return fullWhite(pos);
}

void setEqualWeights() { eval::setEvaluationWeights(100, 100, 100, 100, 100, 100, WHITE); }

} // namespace evaltest

// Material step, phase and blending, tempo, piece values and the per-search tables.
#include "eval_support.h"

#include "eval/material.h"
#include "eval/tables.h"
#include "eval/weights.h"
#include "position/fen.h"
#include "position/movegen.h"

using namespace position;
using namespace evaltest;

namespace {

class MaterialTest : public EvalTest {};

int materialScore(const std::string &fen) {
    Position pos = fromFen(fen);
    eval::quickEvaluate(pos);
    return pos.evalWork.materialScore;
}

TEST_F(MaterialTest, StartPositionLeavesOnlyTheTempo) {
    EXPECT_EQ(quickWhite(START_FEN), 10);
    EXPECT_EQ(quickWhite("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"), -10);
    // The default mobility weights differ by colour (64 for the root side, 76 for the other).
    EXPECT_NE(fullWhite(START_FEN), 10);
    setEqualWeights();
    EXPECT_EQ(fullWhite(START_FEN), 10);
}

TEST_F(MaterialTest, PairsPawnAdjustmentsAndImbalance) {
    // Black has three knights and one bishop: bishop pair +30, knight pairs cancel, the extra
    // knight costs 12 with eight pawns.
    EXPECT_EQ(materialScore("rnnqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1"), 10 + 30 - 12);
    // Exchange for a bishop: 165 material, -30 pair, -16 rook pair, -9 rook with 8 pawns,
    // imbalance row 5 column 3 = +12.
    EXPECT_EQ(materialScore("1nbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RN1QKBNR w - - 0 1"), 165 - 30 - 16 - 9 + 12);
    // No White pawns: -20 against 785; knights -20 each without pawns, rooks +15 each.
    EXPECT_EQ(materialScore("rnbqkbnr/pppppppp/8/8/8/8/8/RNBQKBNR w - - 0 1"),
              -20 - 785 + 2 * (-20 - 12) + 2 * (15 + 9));
    EXPECT_EQ(materialScore("rnbqkbnr/ppppppp1/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1"),
              785 - 690 + 2 * (12 - 8) + 2 * (-9 + 6));
}

TEST_F(MaterialTest, PieceValueOptionReachesMaterialButNotTheEndgameLimit) {
    const std::string fen = "4k3/pppp4/8/8/8/8/PPPP4/3QK3 w - - 0 1";
    int before = materialScore(fen);
    eval::setPieceValues(325, 335, 500, 1000, 30);
    EXPECT_EQ(materialScore(fen), before + 25); // the position is reloaded with the new values
    EXPECT_EQ(eval::EndgameMaterialLimit, 1309);
    eval::setPieceValues(325, 335, 500, 1400, 30);
    Position pos = fromFen(fen);
    eval::quickEvaluate(pos);
    EXPECT_FALSE(pos.evalWork.endgameFlag);
}

TEST_F(MaterialTest, PhaseBlendAndFiftyMoveTaper) {
    EXPECT_EQ(eval::gamePhase(fromFen(START_FEN)), 24);
    EXPECT_EQ(eval::gamePhase(fromFen("4k3/8/8/8/8/8/8/QQQ1K3 w - - 0 1")), 12);
    EXPECT_EQ(eval::gamePhase(fromFen("4k3/8/8/8/8/8/QQQ5/QQQQK3 w - - 0 1")), 24);
    EXPECT_EQ(eval::gamePhase(fromFen("4k3/8/8/8/8/8/8/R1BNK3 w - - 0 1")), 4);
    EXPECT_EQ(eval::blend(-7, 0, 12), -3); // truncates toward zero
    EXPECT_EQ(eval::blend(24, 48, 6), 42);

    Position pos = fromFen(START_FEN);
    pos.fifty = 75;
    EXPECT_EQ(eval::fiftyMoveTaper(pos, -101), -101);
    pos.fifty = 80;
    EXPECT_EQ(eval::fiftyMoveTaper(pos, -101), -80);
    pos.fifty = 99;
    EXPECT_EQ(eval::fiftyMoveTaper(pos, 50), 2);
    pos.fifty = 100;
    EXPECT_EQ(eval::fiftyMoveTaper(pos, 50), 0);
}

TEST_F(MaterialTest, WeightsFollowTheRootSide) {
    eval::setEvaluationWeights(150, 50, 200, 10, 75, 0, BLACK);
    EXPECT_EQ(eval::KingDangerWeight[BLACK], 96);
    EXPECT_EQ(eval::KingDangerWeight[WHITE], 32);
    EXPECT_EQ(eval::MobilityWeight[BLACK], 128);
    EXPECT_EQ(eval::MobilityWeight[WHITE], 6);
    EXPECT_EQ(eval::PassedPawnWeight, 48);
    EXPECT_EQ(eval::PawnStructureWeight, 0);
    // Swapping the root side swaps the personality and changes the same position's score.
    const std::string fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
    eval::setEvaluationWeights(100, 100, 100, 120, 100, 100, WHITE);
    int asWhite = fullWhite(fen);
    eval::setEvaluationWeights(100, 100, 100, 120, 100, 100, BLACK);
    EXPECT_NE(fullWhite(fen), asWhite);
}

TEST_F(MaterialTest, OrderingTableBlendsByPhase) {
    // The ordering table blends the midgame and endgame values by phase (mirroring for Black is
    // covered by the symmetry tests).
    eval::buildBlendedPst(fromFen(START_FEN));
    EXPECT_EQ(OrderingPST[KING][WHITE][textToSquare('g', '1')], 40);
    eval::buildBlendedPst(fromFen("4k3/pppp4/8/8/8/8/PPPP4/4K3 w - - 0 1"));
    EXPECT_EQ(OrderingPST[KING][WHITE][textToSquare('g', '1')], 10);
    eval::buildBlendedPst(fromFen("4k3/8/8/8/8/8/8/R1BNK3 w - - 0 1")); // phase 4
    Square g1 = textToSquare('g', '1');
    EXPECT_EQ(OrderingPST[KING][BLACK][g1 ^ 56], (40 * 4 + 10 * 20) / 24);
}

} // namespace

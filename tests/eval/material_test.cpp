// Material step, phase and blending, tempo, piece values and the per-search tables.
#include "eval_support.h"

#include "eval/material.h"
#include "eval/tables.h"
#include "eval/weights.h"
#include "position/fen.h"
#include "position/movegen.h"

#include <cstdlib>

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
    // The blend runs from the endgame value at phase 0 to the midgame value at 24, one way only,
    // and treats both colours alike (mirrored positions must score opposite).
    const int values[] = {-250, -7, -1, 0, 1, 13, 48, 300};
    for (int mid : values)
        for (int end : values) {
            EXPECT_EQ(eval::blend(mid, end, 0), end);
            EXPECT_EQ(eval::blend(mid, end, 24), mid);
            for (int phase = 1; phase <= 24; ++phase) {
                int b = eval::blend(mid, end, phase), before = eval::blend(mid, end, phase - 1);
                EXPECT_TRUE((b - before) * (mid - end) >= 0 && eval::blend(-mid, -end, phase) == -b)
                    << mid << " " << end << " " << phase;
            }
        }

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

// Aggression and Activity weigh the danger to the root side's king and that side's mobility,
// Caution and Restraint the same terms of the other side; 0 % drops a term, 200 % doubles it.
TEST_F(MaterialTest, PersonalityWeighsEachSidesTerms) {
    // Both kings under some pressure and both sides' pieces free to move; then Black, and White,
    // with king and pawns only, whose mobility options must change nothing.
    const std::string fens[] = {"r4rk1/pp3ppp/2n5/3q4/3Q4/2N5/PP3PPP/R4RK1 w - - 0 1",
                                "6k1/pp3ppp/8/8/3Q4/2N5/PP3PPP/R4RK1 w - - 0 1",
                                mirrorFen("6k1/pp3ppp/8/8/3Q4/2N5/PP3PPP/R4RK1 w - - 0 1")};
    const char *names[4] = {"Aggression", "Caution", "Activity", "Restraint"};
    for (const std::string &fen : fens)
        for (Colour root : {WHITE, BLACK})
            for (int o = 0; o < 4; ++o) {
                int score[3];
                for (int step = 0; step < 3; ++step) {
                    int percent[4] = {100, 100, 100, 100};
                    percent[o] = 100 * step;
                    eval::setEvaluationWeights(percent[0], percent[1], percent[2], percent[3], 100, 100,
                                               root);
                    score[step] = fullWhite(fen);
                }
                Colour side = o % 2 == 0 ? root : ~root;
                bool mobility = o >= 2, bare = fromFen(fen).material[side] == 0;
                // Mobility counts for its side, king danger against it.
                int sign = (side == WHITE) == mobility ? 1 : -1;
                if (mobility && bare)
                    EXPECT_TRUE(score[0] == score[1] && score[1] == score[2]) << fen << " " << names[o];
                else
                    EXPECT_GT(sign * (score[1] - score[0]), 0) << fen << " " << names[o] << " root " << root;
                EXPECT_NEAR(score[2] - score[1], score[1] - score[0], 2) << fen << " " << names[o];
            }
    // The passer and pawn-structure weights are tested in pawns_test.cpp.
}

TEST_F(MaterialTest, OrderingTableFollowsTheRootPhase) {
    // Midgame values with the opening material, endgame values with kings and pawns, a mix of the
    // two at phase 4 (where they differ enough to show it).
    for (const char *fen :
         {START_FEN, "4k3/pppp4/8/8/8/8/PPPP4/4K3 w - - 0 1", "4k3/8/8/8/8/8/8/R1BNK3 w - - 0 1"}) {
        int phase = eval::gamePhase(fromFen(fen));
        eval::buildBlendedPst(fromFen(fen));
        for (int t = 0; t < 6; ++t)
            for (int c = 0; c < 2; ++c)
                for (int sq = 0; sq < 64; ++sq) {
                    int mid = eval::PstMid[t][c][sq], end = eval::PstEnd[t][c][sq], v = OrderingPST[t][c][sq];
                    bool mixed =
                        (v - mid) * (v - end) <= 0 && (std::abs(mid - end) < 24 || (v != mid && v != end));
                    ASSERT_TRUE(phase == 24  ? v == mid
                                : phase == 0 ? v == end
                                             : mixed)
                        << fen << " " << t << " " << c << " " << sq;
                }
    }
}

} // namespace

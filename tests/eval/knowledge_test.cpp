// Drawish-material rules of the material step: which rule answers, with what score and mode.
#include "eval_support.h"

#include "eval/endgame.h"
#include "eval/tables.h"

using namespace position;
using namespace evaltest;

namespace {

class KnowledgeTest : public EvalTest {};

struct Outcome {
    int score; // quickEvaluate from White's point of view
    int material;
    int mode;
    int nullMove;
};

Outcome outcome(const std::string &fen) {
    Position pos = fromFen(fen);
    int q = quickWhite(pos);
    return {q, pos.evalWork.materialScore, pos.evalWork.evalMode, pos.evalWork.nullMoveAllowed};
}

void expectExact(const std::string &fen, int score) {
    Outcome o = outcome(fen);
    EXPECT_EQ(o.mode, base::EvalExact) << fen;
    EXPECT_EQ(o.score, score) << fen;
}

TEST_F(KnowledgeTest, LoneRookPawnsAndWrongBishop) {
    expectExact("7k/8/8/8/8/7P/7P/K7 w - - 0 1", 1);
    expectExact("7k/8/8/8/8/7P/7P/K7 b - - 0 1", 1); // exact: no tempo either
    expectExact("k7/8/8/8/8/7p/7p/6K1 w - - 0 1", -1);
    expectExact("1k6/8/8/8/P7/8/8/7K w - - 0 1", 1);
    EXPECT_EQ(outcome("5k2/8/8/8/8/7P/7P/K7 w - - 0 1").mode, base::EvalNormal);
    // a-pawn with a dark-squared bishop cannot drive the king out of a8; a light one can.
    expectExact("1k6/8/8/8/8/8/P7/2B4K w - - 0 1", 0);
    EXPECT_EQ(outcome("1k6/8/8/8/8/8/P7/1B5K w - - 0 1").mode, base::EvalNormal);
    // Black's h-pawn queens on light h1: a dark-squared bishop cannot help.
    expectExact("4k3/8/8/8/8/7p/8/2b4K b - - 0 1", 0);
    EXPECT_EQ(outcome("4k3/8/8/8/8/7p/8/3b3K b - - 0 1").mode, base::EvalNormal);
}

TEST_F(KnowledgeTest, MinorMaterialAndLoneMinorAgainstPawns) {
    expectExact("8/8/4k3/8/8/8/8/4KB2 w - - 0 1", 0);
    expectExact("8/8/4k3/8/3n4/8/8/4KB2 w - - 0 1", 0);
    // Knight (m = 43) against three pawns on the 7th, each worth 10 * 5/4 = 12: never above 0.
    expectExact("8/2ppp3/8/3k4/8/8/1N6/4K3 w - - 0 1", 0);
    // Advanced pawns, 50 * 5/4 = 62 each: 43 - 186.
    expectExact("8/8/8/3k4/2ppp3/8/1N6/4K3 w - - 0 1", 43 - 186);
    expectExact("4k3/1n6/8/2PPP3/3K4/8/8/8 b - - 0 1", -43 + 186);
}

TEST_F(KnowledgeTest, RookAgainstPawn) {
    expectExact("7K/8/8/8/8/2k5/2p5/7R w - - 0 1", 0);
    expectExact("7K/8/8/8/8/1kp5/8/7R w - - 0 1", 0);
    // Defending king in front of the pawn: +100 and the normal evaluation.
    Outcome o = outcome("8/8/8/8/8/3k4/2p5/2K4R w - - 0 1");
    EXPECT_EQ(o.mode, base::EvalNormal);
    EXPECT_EQ(o.material, -20 + 500 + 15 - 100 + 74 + 100);
    // The rook side's king close enough: no draw.
    EXPECT_EQ(outcome("8/8/8/8/8/2k5/2p5/3K3R w - - 0 1").mode, base::EvalNormal);
}

TEST_F(KnowledgeTest, RookEndingsAndBlockades) {
    expectExact("8/8/4k3/8/8/8/r7/4K2R w - - 0 1", 0);
    // Bishop pawn blocked by the king on a square of the other colour.
    expectExact("8/8/3k4/8/8/8/3P4/1B2K1n1 w - - 0 1", 0);
    EXPECT_EQ(outcome("8/8/3k4/8/8/8/3P4/2B1K1n1 w - - 0 1").mode, base::EvalNormal);
    // Rook pawn on the 7th with the rook in front of it and the defending king on g7.
    expectExact("R7/P5k1/8/8/8/8/r7/6K1 w - - 0 1", 0);
    expectExact("k6r/P7/8/8/8/8/8/4RK2 w - - 0 1", 0);
    EXPECT_EQ(outcome("R7/P3k3/8/8/8/8/r7/6K1 w - - 0 1").mode, base::EvalNormal);
}

TEST_F(KnowledgeTest, PawnlessRules) {
    // 9a: queen against a bishop: tempo only, no null move.
    Position pos = fromFen("8/8/8/4k3/8/8/1b6/1Q2K3 w - - 0 1");
    int q = quickWhite(pos);
    EXPECT_EQ(pos.evalWork.evalMode, base::EvalTempoOnly);
    EXPECT_EQ(pos.evalWork.nullMoveAllowed, 0);
    EXPECT_EQ(q, 736 - pos.pstEg[BLACK] + 100 + 10);
    // 9c: rook and bishop against a knight, Black to move.
    pos = fromFen("8/8/8/4k3/8/8/1n6/R2BK3 b - - 0 1");
    q = quickWhite(pos);
    EXPECT_EQ(pos.evalWork.evalMode, base::EvalTempoOnly);
    EXPECT_EQ(q, 500 - pos.pstEg[BLACK] - 10);
    // 9e: two knights.
    expectExact("8/8/8/4k3/8/8/8/1NN1K3 w - - 0 1", 1);
    expectExact("8/8/8/4k3/4n3/8/8/1NN1K3 w - - 0 1", 1);
    expectExact("8/8/8/4k3/4n3/8/8/4K3 b - - 0 1", 0);
    // 9f: against a bare king.
    Outcome o = outcome("8/8/8/4k3/8/8/8/1Q2K3 w - - 0 1");
    EXPECT_EQ(o.mode, base::EvalNormal);
    EXPECT_EQ(o.material, -20 + 975 + 20 + 96 + 200);
    // 9g: near-equal material: m / 8, tempo only.
    o = outcome("3rb3/8/8/4k3/8/8/8/2N1KR2 w - - 0 1");
    EXPECT_EQ(o.mode, base::EvalTempoOnly);
    EXPECT_EQ(o.score, -30 / 8 + 10);
    // 9h: bishop and knight against a knight: m / 16.
    o = outcome("8/8/8/4k3/4n3/8/8/1BN1K3 w - - 0 1");
    EXPECT_EQ(o.mode, base::EvalTempoOnly);
    EXPECT_EQ(o.score, 393 / 16 + 10);
    // 9i and 9j keep the normal mode.
    o = outcome("8/8/8/4k3/4n3/8/8/R3K3 w - - 0 1");
    EXPECT_EQ(o.mode, base::EvalNormal);
    EXPECT_EQ(o.material, 222 / 4);
    o = outcome("8/8/8/4k3/4r3/8/8/R1B1K3 w - - 0 1");
    EXPECT_EQ(o.mode, base::EvalNormal);
    EXPECT_EQ(o.material, 393 / 5);
}

TEST_F(KnowledgeTest, ExtraMinorAgainstTheSameMajors) {
    Outcome o = outcome("4q3/p7/8/4k3/8/8/8/3QK1N1 w - - 0 1");
    EXPECT_EQ(o.mode, base::EvalReplacedMaterial);
    EXPECT_EQ(o.material, 25);
    EXPECT_EQ(outcome("4q3/8/8/4k3/8/8/8/3QK1N1 w - - 0 1").material, 50);
    EXPECT_EQ(outcome("3r4/p7/8/4k3/8/8/8/3RK1N1 w - - 0 1").material, 50);
    EXPECT_EQ(outcome("3r4/pp6/8/4k3/8/8/8/3RK1N1 w - - 0 1").material, 25);
    EXPECT_EQ(outcome("2rr4/pp6/8/4k3/8/8/8/2RRK1N1 w - - 0 1").material, 10);
    EXPECT_EQ(outcome("2rrk1n1/8/8/8/8/8/PP6/2RRK3 b - - 0 1").material, -10);
    // Three defending pawns: the rule does not apply.
    EXPECT_EQ(outcome("3r4/ppp5/8/4k3/8/8/8/3RK1N1 w - - 0 1").mode, base::EvalNormal);
}

} // namespace

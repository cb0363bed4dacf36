// Drawish-material rules of the material step: which rule answers, with what score and mode.
#include "eval_support.h"

#include "eval/endgame.h"
#include "eval/tables.h"

using namespace position;
using namespace evaltest;

namespace {

class KnowledgeTest : public EvalTest {};

constexpr int ANY = -99999; // not checked

// The rules that answer on material alone: the evaluation mode they leave, the quick score from
// White's point of view and the material score.
TEST_F(KnowledgeTest, DrawishMaterialRules) {
    const int EXACT = base::EvalExact, TEMPO = base::EvalTempoOnly, NORMAL = base::EvalNormal;
    struct Case {
        const char *fen;
        int mode, score = ANY, material = ANY;
    };
    const Case cases[] = {
        // Lone rook pawns (exact: no tempo either); the wrong bishop for the a- or h-pawn.
        {"7k/8/8/8/8/7P/7P/K7 w - - 0 1", EXACT, 1},
        {"7k/8/8/8/8/7P/7P/K7 b - - 0 1", EXACT, 1},
        {"k7/8/8/8/8/7p/7p/6K1 w - - 0 1", EXACT, -1},
        {"1k6/8/8/8/P7/8/8/7K w - - 0 1", EXACT, 1},
        {"5k2/8/8/8/8/7P/7P/K7 w - - 0 1", NORMAL},
        {"1k6/8/8/8/8/8/P7/2B4K w - - 0 1", EXACT, 0},
        {"1k6/8/8/8/8/8/P7/1B5K w - - 0 1", NORMAL},
        {"4k3/8/8/8/8/7p/8/2b4K b - - 0 1", EXACT, 0},
        {"4k3/8/8/8/8/7p/8/3b3K b - - 0 1", NORMAL},
        // Minors only; a knight (m = 43) against three pawns on the 7th, each worth 10 * 5/4 = 12,
        // never above 0; against advanced pawns, 50 * 5/4 = 62 each.
        {"8/8/4k3/8/8/8/8/4KB2 w - - 0 1", EXACT, 0},
        {"8/8/4k3/8/3n4/8/8/4KB2 w - - 0 1", EXACT, 0},
        {"8/2ppp3/8/3k4/8/8/1N6/4K3 w - - 0 1", EXACT, 0},
        {"8/8/8/3k4/2ppp3/8/1N6/4K3 w - - 0 1", EXACT, 43 - 186},
        {"4k3/1n6/8/2PPP3/3K4/8/8/8 b - - 0 1", EXACT, -43 + 186},
        // Rook against pawn: the defending king in front of the pawn gives +100 and the normal
        // evaluation; the rook side's king close enough: no draw.
        {"7K/8/8/8/8/2k5/2p5/7R w - - 0 1", EXACT, 0},
        {"7K/8/8/8/8/1kp5/8/7R w - - 0 1", EXACT, 0},
        {"8/8/8/8/8/3k4/2p5/2K4R w - - 0 1", NORMAL, ANY, -20 + 500 + 15 - 100 + 74 + 100},
        {"8/8/8/8/8/2k5/2p5/3K3R w - - 0 1", NORMAL},
        // Rook endings; a bishop pawn blocked by the king on a square of the other colour; a rook
        // pawn on the 7th with the rook in front of it and the defending king on g7.
        {"8/8/4k3/8/8/8/r7/4K2R w - - 0 1", EXACT, 0},
        {"8/8/3k4/8/8/8/3P4/1B2K1n1 w - - 0 1", EXACT, 0},
        {"8/8/3k4/8/8/8/3P4/2B1K1n1 w - - 0 1", NORMAL},
        {"R7/P5k1/8/8/8/8/r7/6K1 w - - 0 1", EXACT, 0},
        {"k6r/P7/8/8/8/8/8/4RK2 w - - 0 1", EXACT, 0},
        {"R7/P3k3/8/8/8/8/r7/6K1 w - - 0 1", NORMAL},
        // Pawnless: two knights; against a bare king; near-equal material (m / 8, tempo only);
        // bishop and knight against a knight (m / 16); rook against a minor and more.
        {"8/8/8/4k3/8/8/8/1NN1K3 w - - 0 1", EXACT, 1},
        {"8/8/8/4k3/4n3/8/8/1NN1K3 w - - 0 1", EXACT, 1},
        {"8/8/8/4k3/4n3/8/8/4K3 b - - 0 1", EXACT, 0},
        {"8/8/8/4k3/8/8/8/1Q2K3 w - - 0 1", NORMAL, ANY, -20 + 975 + 20 + 96 + 200},
        {"3rb3/8/8/4k3/8/8/8/2N1KR2 w - - 0 1", TEMPO, -30 / 8 + 10},
        {"8/8/8/4k3/4n3/8/8/1BN1K3 w - - 0 1", TEMPO, 393 / 16 + 10},
        {"8/8/8/4k3/4n3/8/8/R3K3 w - - 0 1", NORMAL, ANY, 222 / 4},
        {"8/8/8/4k3/4r3/8/8/R1B1K3 w - - 0 1", NORMAL, ANY, 393 / 5},
        // An extra minor against the same majors, by the defender's pawns; three is too many.
        {"4q3/p7/8/4k3/8/8/8/3QK1N1 w - - 0 1", base::EvalReplacedMaterial, ANY, 25},
        {"4q3/8/8/4k3/8/8/8/3QK1N1 w - - 0 1", ANY, ANY, 50},
        {"3r4/p7/8/4k3/8/8/8/3RK1N1 w - - 0 1", ANY, ANY, 50},
        {"3r4/pp6/8/4k3/8/8/8/3RK1N1 w - - 0 1", ANY, ANY, 25},
        {"2rr4/pp6/8/4k3/8/8/8/2RRK1N1 w - - 0 1", ANY, ANY, 10},
        {"2rrk1n1/8/8/8/8/8/PP6/2RRK3 b - - 0 1", ANY, ANY, -10},
        {"3r4/ppp5/8/4k3/8/8/8/3RK1N1 w - - 0 1", NORMAL},
    };
    for (const Case &c : cases) {
        Position pos = fromFen(c.fen);
        int score = quickWhite(pos);
        EXPECT_TRUE(c.mode == ANY || pos.evalWork.evalMode == c.mode)
            << c.fen << ": " << pos.evalWork.evalMode;
        EXPECT_TRUE(c.score == ANY || score == c.score) << c.fen << ": " << score;
        EXPECT_TRUE(c.material == ANY || pos.evalWork.materialScore == c.material)
            << c.fen << ": " << pos.evalWork.materialScore;
    }
    // Queen against a bishop, and rook and bishop against a knight: the tempo (and the scaled
    // endgame table sum) only, no null move.
    Position pos = fromFen("8/8/8/4k3/8/8/1b6/1Q2K3 w - - 0 1");
    EXPECT_EQ(quickWhite(pos), 736 - pos.pstEg[BLACK] + 100 + 10);
    EXPECT_EQ(pos.evalWork.evalMode, base::EvalTempoOnly);
    EXPECT_EQ(pos.evalWork.nullMoveAllowed, 0);
    pos = fromFen("8/8/8/4k3/8/8/1n6/R2BK3 b - - 0 1");
    EXPECT_EQ(quickWhite(pos), 500 - pos.pstEg[BLACK] - 10);
    EXPECT_EQ(pos.evalWork.evalMode, base::EvalTempoOnly);
}

} // namespace

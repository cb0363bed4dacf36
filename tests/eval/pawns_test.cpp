// Passed pawns, pawn structure and the pawn hash.
#include "eval_support.h"

#include "eval/pawns.h"
#include "eval/weights.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"

#include <random>

using namespace position;
using namespace evaltest;

namespace {

class PawnsTest : public EvalTest {};

// Quick evaluation first: it leaves the pawn attack maps the pawn terms read.
Position evaluated(const std::string &fen) {
    Position pos = fromFen(fen);
    eval::quickEvaluate(pos);
    return pos;
}

bool isPassed(const std::string &fen, const char *square) {
    Position pos = evaluated(fen);
    return pos.evalWork.passedPawns[WHITE] & squareBit(textToSquare(square[0], square[1]));
}

TEST_F(PawnsTest, PassedPawnDetection) {
    EXPECT_TRUE(isPassed("4k3/8/3p4/4P3/8/8/8/4K3 w - - 0 1", "e5"));  // d6 attacks e5 only
    EXPECT_FALSE(isPassed("4k3/3p4/8/4P3/8/8/8/4K3 w - - 0 1", "e5")); // d7 controls e6
    EXPECT_FALSE(isPassed("4k3/4p3/8/4P3/8/8/8/4K3 w - - 0 1", "e5"));
    EXPECT_TRUE(isPassed("4k3/3p4/8/8/4P3/8/8/4K3 w - - 0 1", "e4") == false);
    Position pos = evaluated("4k3/8/8/8/4p3/8/8/4K3 w - - 0 1");
    EXPECT_EQ(pos.evalWork.passedPawns[BLACK], squareBit(textToSquare('e', '4')));
}

TEST_F(PawnsTest, PassedPawnValuesAndWeight) {
    // c7 blocked by a knight and defended by b6: 120 * 3/4 = 90, * 5/4 = 112; b6 free: 80.
    const std::string fen = "2n1k3/2P5/1P6/8/8/8/8/R3K3 w - - 0 1";
    Position pos = evaluated(fen);
    EXPECT_EQ(eval::passedPawnTerm(pos, textToSquare('c', '7'), WHITE), 112);
    EXPECT_EQ(pos.evalWork.passedScore, 192);
    eval::setEvaluationWeights(100, 100, 100, 120, 50, 100, WHITE);
    EXPECT_EQ(evaluated(fen).evalWork.passedScore, 96);
    // Black pawns count negative; a White piece in front blocks them.
    eval::resetEvaluationParameters();
    pos = evaluated("r3k3/8/8/8/8/8/1p6/1N2K3 w - - 0 1");
    EXPECT_EQ(pos.evalWork.passedScore, -(120 * 3 / 4));
}

TEST_F(PawnsTest, StructureTerms) {
    struct Case {
        const char *fen;
        int mid, end;
    };
    const Case cases[] = {
        // Tripled and isolated: -50 doubled, -14 -14 -15 weak, -10 for three weak pawns.
        {"4k3/8/8/8/4P3/4P3/4P3/4K3 w - - 0 1", -103, -103},
        // Side by side: the d-pawn earns the phalanx bonus, midgame only.
        {"4k3/8/8/8/3PP3/8/8/4K3 w - - 0 1", 10, 0},
        {"4k3/8/8/8/4PP2/8/8/4K3 w - - 0 1", 5, 0},
        // e4 + d3: d3 is backward (-14) but defends e4 (+4); centre pattern +5.
        {"4k3/8/8/8/4P3/3P4/8/4K3 w - - 0 1", -10 + 5, -10},
        // The same for Black.
        {"4k3/8/3p4/4p3/8/8/8/4K3 w - - 0 1", 10 - 5, 10},
        // d4 with c3 and e3: two centre patterns; c3 and e3 are backward (-12, -14) but
        // defend d4 (+4 each), -5 for two weak pawns.
        {"4k3/8/8/8/3P4/2P1P3/8/4K3 w - - 0 1", -23 + 10, -23},
        // No pawns: nothing.
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", 0, 0},
    };
    for (const Case &c : cases) {
        Position pos = evaluated(c.fen);
        EXPECT_EQ(pos.evalWork.pawnMid, c.mid) << c.fen;
        EXPECT_EQ(pos.evalWork.pawnEnd, c.end) << c.fen;
    }
    // Without the structure weight only the phalanx and centre terms remain.
    eval::setEvaluationWeights(100, 100, 100, 120, 100, 0, WHITE);
    Position pos = evaluated(cases[0].fen);
    EXPECT_EQ(pos.evalWork.pawnMid, 0);
    EXPECT_EQ(pos.evalWork.pawnEnd, 0);
    EXPECT_EQ(evaluated(cases[3].fen).evalWork.pawnMid, 5);
}

TEST_F(PawnsTest, HashHitReturnsWhatAMissComputes) {
    // Over many positions: the second probe of a table hits and must agree with a computation
    // without a table.
    std::mt19937 rng(7);
    MoveEntry list[MAX_MOVES];
    static eval::PawnTable table;
    eval::allocatePawnTable(table);
    for (int game = 0; game < 40; ++game) {
        LoadFen(START_FEN);
        Position p = GamePosition;
        for (int ply = 0; ply < 120; ++ply) {
            Position fresh = p;
            eval::quickEvaluate(fresh);
            Position stored = p, probed = p;
            eval::quickEvaluate(stored, &table);
            eval::quickEvaluate(probed, &table);
            ASSERT_EQ(probed.evalWork.pawnMid, fresh.evalWork.pawnMid);
            ASSERT_EQ(probed.evalWork.pawnEnd, fresh.evalWork.pawnEnd);
            int n = GenerateLegal(p, list);
            if (n == 0) break;
            PieceType captured;
            MakeMove(p, entryMove(list[rng() % unsigned(n)]), captured);
        }
    }
    EXPECT_GT(table.used, 100u);
    eval::freePawnTable(table);
}

} // namespace

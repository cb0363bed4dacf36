// A position and its colour-mirrored twin must get the same score for the side to move.
#include "eval_support.h"

#include "eval/endgame.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"

#include <random>

using namespace position;
using namespace evaltest;

namespace {

Position mirrored(const Position &pos) {
    Position m;
    ClearPosition(m);
    for (int c = 0; c < 2; ++c)
        for (int t = 0; t < 6; ++t)
            for (Bitboard b = pos.pieces[c][t]; b;)
                PutPiece(m, Colour(c ^ 1), PieceType(t), popLowest(b) ^ 56);
    m.sideToMove = pos.sideToMove ^ 1;
    m.fifty = pos.fifty;
    m.epSquare = pos.epSquare == NO_SQUARE ? NO_SQUARE : pos.epSquare ^ 56;
    m.evalWork = base::EvalScratch{};
    return m;
}

struct Scores {
    int quick, full;
    bool draw;
};

Scores scoresFor(Position pos) {
    int q = eval::quickEvaluate(pos);
    int f = pos.evalWork.evalMode == base::EvalNormal ? eval::fullEvaluate(pos) : q;
    return {q, f, eval::isRecognisedDraw(pos)};
}

void expectSymmetric(const Position &pos, const char *what, int index) {
    Scores a = scoresFor(pos), b = scoresFor(mirrored(pos));
    ASSERT_EQ(a.quick, b.quick) << what << " " << index;
    ASSERT_EQ(a.full, b.full) << what << " " << index;
    ASSERT_EQ(a.draw, b.draw) << what << " " << index;
}

class SymmetryTest : public EvalTest {};

TEST_F(SymmetryTest, RandomGamesEvaluateAlikeMirrored) {
    setEqualWeights();
    std::mt19937 rng(20261205);
    MoveEntry list[MAX_MOVES];
    int checked = 0;
    for (int game = 0; game < 300; ++game) {
        LoadFen(START_FEN);
        Position pos = GamePosition;
        for (int ply = 0; ply < 200; ++ply) {
            expectSymmetric(pos, "game", game);
            int n = GenerateLegal(pos, list);
            if (n == 0) break;
            // Prefer captures now and then so that games reach endings.
            Move move = entryMove(list[rng() % unsigned(n)]);
            for (int tries = 0; tries < 3 && !isCapture(pos, move); ++tries)
                move = entryMove(list[rng() % unsigned(n)]);
            PieceType captured;
            MakeMove(pos, move, captured);
            ++checked;
        }
    }
    EXPECT_GT(checked, 20000);
}

TEST_F(SymmetryTest, EndgamesEvaluateAlikeMirrored) {
    setEqualWeights();
    const char *fens[] = {
        "7k/7P/8/8/8/8/8/K7 w - - 0 1",         "1k6/8/8/8/8/8/P7/1B5K w - - 0 1",
        "8/8/8/3k4/8/8/1N6/4K3 w - - 0 1",      "8/2ppp3/8/3k4/8/8/1N6/4K3 w - - 0 1",
        "8/8/8/8/3k4/8/2p5/K6R w - - 0 1",      "8/8/8/8/2k5/8/2p4K/7R b - - 0 1",
        "8/8/4k3/8/8/2B5/3P4/4K1n1 w - - 0 1",  "R7/P5k1/8/8/8/8/r7/6K1 w - - 0 1",
        "8/8/8/4k3/8/8/1b6/Q3K3 w - - 0 1",     "8/8/8/4k3/8/8/1n6/R2BK3 b - - 0 1",
        "8/8/8/4k3/8/8/8/NN2K3 w - - 0 1",      "8/8/8/4k3/8/8/8/1Q2K3 w - - 0 1",
        "4r3/8/8/4k3/8/8/8/2N1KR2 w - - 0 1",   "8/8/8/4k3/4n3/8/8/1BN1K3 w - - 0 1",
        "8/8/8/4k3/4n3/8/8/R3K3 w - - 0 1",     "8/8/2b5/4k3/4r3/8/8/R3K3 w - - 0 1",
        "4q3/8/8/4k3/8/8/8/3QK1N1 w - - 0 1",   "4q3/p7/8/4k3/8/8/8/3QK1N1 b - - 0 1",
        "3rr3/8/8/4k3/8/8/8/R2RK1N1 w - - 0 1", "3r4/p7/8/4k3/8/8/8/3RK1N1 w - - 0 1",
        "8/5k2/8/8/8/8/4KBN1/8 w - - 0 1",      "8/8/4k3/8/2P5/8/4K3/8 b - - 0 1",
        "8/4k3/4P3/4K3/8/8/8/8 w - - 0 1",      "8/8/8/2b5/3kp3/8/4K3/5B2 w - - 0 1",
        "8/5k2/8/8/5P2/8/3r4/5RK1 w - - 0 1",   "8/5k2/8/8/4PP2/8/2r5/5RK1 w - - 0 1",
        "2q5/5k2/8/8/5P2/8/8/5QK1 w - - 0 1",   "8/8/8/8/3k4/8/8/3BK1N1 b - - 0 1",
        "8/pppk4/8/8/8/8/PPP5/2K5 w - - 0 1",   "6k1/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1",
    };
    for (int i = 0; i < int(sizeof fens / sizeof *fens); ++i) {
        expectSymmetric(fromFen(fens[i]), "fen", i);
        expectSymmetric(fromFen(mirrorFen(fens[i])), "mirrored fen", i);
    }
}

} // namespace

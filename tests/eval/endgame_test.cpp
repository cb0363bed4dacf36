// Endgame scalings, the special endgame evaluators and dead-draw recognition.
#include "eval_support.h"

#include "eval/endgame.h"
#include "position/attacks.h"

using namespace position;
using namespace evaltest;

namespace {

class EndgameTest : public EvalTest {};

Position evaluated(const std::string &fen) {
    Position pos = fromFen(fen);
    eval::quickEvaluate(pos);
    return pos;
}

int scaled(const std::string &fen, int s) { return eval::scaleEndgame(evaluated(fen), s); }

bool draw(const std::string &fen) { return eval::isRecognisedDraw(fromFen(fen)); }

TEST_F(EndgameTest, Scalings) {
    // Pawns on both wings keep the king-wing tables out.
    EXPECT_EQ(scaled("4k3/p6p/8/2b5/8/8/P6P/4KB2 w - - 0 1", 101), 50);  // opposite bishops
    EXPECT_EQ(scaled("4k3/p6p/8/3b4/8/8/P6P/4KB2 w - - 0 1", 101), 101); // same colour
    EXPECT_EQ(scaled("4k3/p6p/8/3n4/8/8/P6P/4KB2 w - - 0 1", 101), 101);
    // Only queenside pawns: a king far away on the other wing... is not penalised, one on
    // the a-file is; no pawns at all: both tables.
    EXPECT_EQ(scaled("1k6/8/8/8/8/8/P7/6K1 w - - 0 1", 0), 20);
    EXPECT_EQ(scaled("7k/8/8/8/8/8/8/KR6 w - - 0 1", 0), -30 + 30);
    EXPECT_EQ(scaled("3k4/8/8/8/8/8/8/KR6 w - - 0 1", 0), -30);
    // Rook endings: the defending king in front of the lone pawn; two against one without
    // a passer. Kingside pawns only: g1 -20, f7 -10 first.
    EXPECT_EQ(scaled("8/5k2/8/8/8/8/5P2/r4RK1 w - - 0 1", 100), 90 / 4);
    EXPECT_EQ(scaled("8/5k2/8/8/6p1/8/5PP1/r4RK1 w - - 0 1", 100), 90 / 4);
    EXPECT_EQ(scaled("8/4k3/8/8/8/8/5P2/r4RK1 w - - 0 1", 100), 100 - 20);
    EXPECT_TRUE(eval::rookEndingDraw(evaluated("8/8/8/8/5p2/8/5K2/R4r1k w - - 0 1")));
    // Queen endings.
    EXPECT_EQ(scaled("8/5k2/8/8/8/8/5P2/q4QK1 w - - 0 1", 100), 90 / 2);
    EXPECT_EQ(scaled("8/4k3/8/8/8/8/5P2/q4QK1 w - - 0 1", 100), 100 - 20);
}

TEST_F(EndgameTest, ScalingsApplyInBothLevels) {
    // A rook against a knight without rook-side pawns is halved in the full level only; the
    // mirrored position gives the mirrored scores.
    const std::string fen = "4k3/p7/8/8/8/8/1n6/R3K3 w - - 0 1";
    int quick = quickWhite(fen), full = fullWhite(fen);
    EXPECT_GT(quick, 0);
    EXPECT_LT(full, quick * 2 / 3);
    EXPECT_EQ(quickWhite(mirrorFen(fen)), -quick);
    // Opposite bishops: both levels stay within half of the material edge.
    const std::string ocb = "4k3/p4p1p/8/2b5/8/8/P3PP1P/4KB2 w - - 0 1";
    EXPECT_LT(quickWhite(ocb), 60);
    EXPECT_LT(fullWhite(ocb), 60);
}

TEST_F(EndgameTest, PawnEnding) {
    // Symmetric pawns: only the tempo, times 5/4.
    EXPECT_EQ(fullWhite("4k3/4p3/8/8/8/8/4P3/4K3 w - - 0 1"), 12);
    EXPECT_EQ(fullWhite("4k3/4p3/8/8/8/8/4P3/4K3 b - - 0 1"), -12);
    EXPECT_GT(fullWhite("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1"), 100);
}

TEST_F(EndgameTest, BishopAndKnightMate) {
    // Light bishop: the defending king belongs in a8 or h1, not in a1.
    int rightCorner = fullWhite("k7/8/2K5/8/8/8/8/4NB2 w - - 0 1");
    int wrongCorner = fullWhite("8/8/8/8/8/2K5/8/k3NB2 w - - 0 1");
    EXPECT_GT(rightCorner, wrongCorner + 150);
    // Kings closer together score higher.
    EXPECT_GT(fullWhite("k7/8/1K6/8/8/8/8/4NB2 w - - 0 1"), fullWhite("k7/8/8/8/8/8/8/K3NB2 w - - 0 1"));
    // Dark bishop on d2: a1 is the right corner now.
    EXPECT_GT(fullWhite("8/8/8/8/8/2K5/3B4/k4N2 w - - 0 1"),
              fullWhite("k7/8/2K5/8/8/8/3B4/5N2 w - - 0 1") + 150);
}

TEST_F(EndgameTest, RecognisedDraws) {
    EXPECT_TRUE(draw("8/8/8/4k3/8/8/8/4KB2 w - - 0 1"));
    EXPECT_TRUE(draw("8/8/8/4k3/8/8/8/3NKN2 w - - 0 1"));
    EXPECT_FALSE(draw("8/8/8/4k3/8/8/8/4KR2 w - - 0 1"));
    // Minor against minor: only with both kings off the 1st and 8th ranks and the a-file.
    EXPECT_TRUE(draw("8/8/3n4/4k3/8/3K4/8/5B2 w - - 0 1"));
    EXPECT_FALSE(draw("8/8/3n4/4k3/8/8/8/4KB2 w - - 0 1"));
    EXPECT_FALSE(draw("8/8/3n4/4k3/K7/8/8/5B2 w - - 0 1"));
    EXPECT_TRUE(draw("8/8/3n4/4k3/7K/8/8/5B2 w - - 0 1")); // the h-file does not count
    EXPECT_TRUE(draw("8/8/3b4/4k3/8/3K4/8/3N1N2 w - - 0 1"));
    EXPECT_FALSE(draw("4k3/8/3b4/8/8/3K4/8/3N1N2 w - - 0 1"));
    EXPECT_FALSE(draw("8/8/3r4/4k3/8/3K4/8/5B2 w - - 0 1"));
    // King and pawn against king.
    EXPECT_TRUE(draw("8/8/8/4k3/4P3/4K3/8/8 b - - 0 1")); // opposition, Black to move
    EXPECT_FALSE(draw("8/8/8/4k3/4P3/4K3/8/8 w - - 0 1"));
    EXPECT_TRUE(draw("8/8/8/4k3/4P3/3K4/8/8 w - - 0 1"));  // king diagonally behind
    EXPECT_TRUE(draw("8/8/4k3/8/4P3/4K3/8/8 w - - 0 1"));  // two ranks ahead, White to move
    EXPECT_FALSE(draw("4k3/8/4P3/4K3/8/8/8/8 w - - 0 1")); // ... but not on the 8th rank
    EXPECT_FALSE(draw("8/8/8/8/3K4/4pk2/8/8 w - - 0 1"));
    EXPECT_TRUE(draw("8/8/4k3/4p3/4K3/8/8/8 w - - 0 1")); // Black's pawn, White to move
    EXPECT_FALSE(draw("8/8/4k3/4p3/4K3/8/8/8 b - - 0 1"));
    // An h-pawn: offsets must not wrap to the other edge.
    EXPECT_FALSE(draw("8/8/8/8/8/k6P/8/6K1 b - - 0 1"));
    EXPECT_FALSE(draw("8/8/8/4k3/4P3/4K3/8/R7 b - - 0 1")); // pieces too
}

} // namespace

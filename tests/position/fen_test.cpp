#include "position/attacks.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/notation.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace position;

namespace {

Square sq(const char *s) { return textToSquare(s[0], s[1]); }

std::string load(const std::string &fen) {
    testing::internal::CaptureStdout();
    LoadFen(fen);
    return testing::internal::GetCapturedStdout();
}

std::string apply(const std::string &moves) {
    testing::internal::CaptureStdout();
    ApplyMoveList(moves);
    return testing::internal::GetCapturedStdout();
}

class FenTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::initOnce(); }
};

TEST_F(FenTest, ShortFensTakeDefaults) {
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w"),
              "info string Invalid Fen: To few Elements - Assume no Castling-Right, no EP-Square and ply = 0\n");
    std::uint64_t shortKey = GamePosition.key;
    EXPECT_EQ(GamePosition.castling, 0u);
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1"), "");
    EXPECT_EQ(GamePosition.key, shortKey);
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq"),
              "info string Invalid Fen: To few Elements - Assume no EP-Square and ply = 0\n");
    EXPECT_EQ(GamePosition.castling, 15u);
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"),
              "info string Invalid Fen: To few Elements - Assume ply = 0\n");
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 7"),
              "info string Invalid Fen: To few Elements - Ignore last Element\n");
    EXPECT_EQ(GamePosition.fifty, 7u);
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"),
              "info string Invalid Fen: To few Elements - Loading Startposition instead ...\n");
    EXPECT_EQ(load(""), "info string Invalid Fen: To few Elements - Loading Startposition instead ...\n");
}

TEST_F(FenTest, CorruptFieldsAreReportedAndReplaced) {
    const std::string boardMsg = "info string Invalid Fen: Board corrupted - Loading Startposition instead ...\n";
    LoadFen(START_FEN);
    const std::uint64_t startKey = GamePosition.key;
    for (const char *bad : {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1",   // short rank
                            "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",  // 9
                            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNRR w KQkq - 0 1", // long rank
                            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq - 0 1",           // 7 ranks
                            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQQBNR w KQkq - 0 1",  // no White king
                            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w KQkq - 0 1",
                            "rnbqkbnr/ppppxppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"}) {
        EXPECT_EQ(load(bad), boardMsg) << bad;
        EXPECT_EQ(GamePosition.key, startKey) << bad;
    }
    EXPECT_EQ(load(std::string(200, '8') + " w - - 0 1"), boardMsg);
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1"),
              "info string Invalid Fen: Side To Move corrupted - Loading Startposition instead ...\n");
    // Castling: the h1 rook is missing, so K goes and Q, k, q stay; the note comes once.
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w KQkq - 0 1"),
              "info string Invalid Fen: Castling Rights corrupted - Ignore Castling Flags\n");
    EXPECT_EQ(GamePosition.castling, CASTLE_Q | CASTLE_k | CASTLE_q);
    EXPECT_EQ(load("r3k3/8/8/8/8/8/8/4K3 w KQkq - 0 1"),
              "info string Invalid Fen: Castling Rights corrupted - Ignore Castling Flags\n");
    EXPECT_EQ(GamePosition.castling, CASTLE_q);
    EXPECT_EQ(load("r3k3/8/8/8/8/8/8/4K3 w KQkqKQkqKQkq - 0 1"),
              "info string Invalid Fen: Castling Rights corrupted - Ignore Castling Flags\n");
    EXPECT_EQ(GamePosition.castling, 0u);
    // En passant field.
    EXPECT_EQ(load("4k3/8/8/8/4P3/8/8/4K3 b - e4 0 1"),
              "info string Invalid Fen: En Passant Square corrupted - Ignore EP-Square\n");
    EXPECT_EQ(GamePosition.epSquare, NO_SQUARE);
    EXPECT_EQ(load("4k3/8/8/8/4P3/8/8/4K3 b - z3 0 1"),
              "info string Invalid Fen: En Passant Square corrupted - Ignore EP-Square\n");
    EXPECT_EQ(load("4k3/8/8/8/4P3/8/8/4K3 b - e3e3e3e3 0 1"),
              "info string Invalid Fen: En Passant Square corrupted - Ignore EP-Square\n");
    // Fifty-move counter.
    EXPECT_EQ(load("4k3/8/8/8/8/8/8/4K3 w - - 101 1"),
              "info string Invalid Fen: 50-move counter corrupted - Assume ply = 0\n");
    EXPECT_EQ(GamePosition.fifty, 0u);
    EXPECT_EQ(load("4k3/8/8/8/8/8/8/4K3 w - - -3 1"), "");
    EXPECT_EQ(GamePosition.fifty, 253u);
    // The side not to move may not be in check.
    EXPECT_EQ(load("4k3/8/8/8/8/8/8/4K2R b - - 0 1"), "");
    EXPECT_EQ(load("4k3/4R3/8/8/8/8/8/4K3 w - - 0 1"),
              "info string Invalid Fen: Side Not To Move in Check - Loading Startposition instead ...\n");
    EXPECT_EQ(GamePosition.key, startKey);
    // Binary bytes never crash and fall back.
    EXPECT_EQ(load(std::string("\x01\xff\x80 w - - 0 1")), boardMsg);
}

TEST_F(FenTest, EnPassantSquareOnlyWhenUsable) {
    // After 1. e4 no Black pawn attacks e3: the square goes silently.
    EXPECT_EQ(load("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"), "");
    EXPECT_EQ(GamePosition.epSquare, NO_SQUARE);
    // With a Black pawn on d4 it stays, and the key equals the one reached by playing e2e4.
    EXPECT_EQ(load("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 3"), "");
    EXPECT_EQ(GamePosition.epSquare, sq("e3"));
    std::uint64_t fenKey = GamePosition.key;
    load("rnbqkbnr/ppp1pppp/8/8/3p4/8/PPPPPPPP/RNBQKBNR w KQkq - 0 3");
    EXPECT_EQ(apply("e2e4"), "");
    EXPECT_EQ(GamePosition.key, fenKey);
    EXPECT_EQ(GamePosition.epSquare, sq("e3"));
}

TEST_F(FenTest, MoveLists) {
    load(START_FEN);
    EXPECT_EQ(apply("e2e4 e7e5"), "");
    EXPECT_EQ(GamePosition.board[sq("e5")], makeCell(BLACK, PAWN));
    EXPECT_EQ(GamePosition.sideToMove, WHITE);
    EXPECT_EQ(GamePosition.historyCount, 1u);
    // A second White move passes the turn first.
    load(START_FEN);
    EXPECT_EQ(apply("e2e4 d2d4"), "");
    EXPECT_EQ(GamePosition.board[sq("d4")], makeCell(WHITE, PAWN));
    EXPECT_EQ(GamePosition.sideToMove, BLACK);
    // Promotions default to a queen; the letter picks another piece; upper case reads the same.
    load("8/4P3/8/8/8/k7/8/K7 w - - 0 1");
    EXPECT_EQ(apply("E7E8"), "");
    EXPECT_EQ(GamePosition.board[sq("e8")], makeCell(WHITE, QUEEN));
    load("8/4P3/8/8/8/k7/8/K7 w - - 0 1");
    EXPECT_EQ(apply("e7e8n"), "");
    EXPECT_EQ(GamePosition.board[sq("e8")], makeCell(WHITE, KNIGHT));
    // The first invalid move ends the list; earlier moves stay played.
    load(START_FEN);
    EXPECT_EQ(apply("e2e4 e7e5 e1e3 g1f3"), "info string Invalid Move: e1e3\n");
    EXPECT_EQ(GamePosition.sideToMove, WHITE);
    EXPECT_EQ(GamePosition.board[sq("g1")], makeCell(WHITE, KNIGHT));
    EXPECT_EQ(apply("e2e9"), "info string Invalid Move: e2e9\n");
    EXPECT_EQ(apply("e2e"), "info string Invalid Move: e2e\n");
    // A move that leaves the own king in check is reported (and stays on the board).
    load("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1");
    EXPECT_EQ(apply("e1f1 e2e1"), "");
    load("4k3/8/8/8/8/8/4R3/4K2r w - - 0 1");
    EXPECT_EQ(apply("e2d2"), "info string Invalid Move: e2d2\n");
    // Castling without the right is refused.
    load("4k3/8/8/8/8/8/8/4K2R w - - 0 1");
    EXPECT_EQ(apply("e1g1"), "info string Invalid Move: e1g1\n");
    load("4k3/8/8/8/8/8/8/4K2R w K - 0 1");
    EXPECT_EQ(apply("e1g1"), "");
    EXPECT_EQ(GamePosition.board[SQ_F1], makeCell(WHITE, ROOK));
}

TEST_F(FenTest, Notation) {
    char buffer[8];
    EXPECT_STREQ((MoveToText(makeMove(sq("e7"), sq("e8"), KNIGHT), buffer), buffer), "e7e8n");
    EXPECT_EQ(makeMove(sq("e7"), sq("e8"), KNIGHT), 4 * 4096 + 59 * 64 + 51);
    EXPECT_EQ(moveText(makeMove(sq("a1"), sq("h8"))), "a1h8");
    EXPECT_EQ(moveText(NullMove), "0000");
    EXPECT_EQ(TextToMove("e2e4"), 1739);
    EXPECT_EQ(TextToMove("  E7E8q"), makeMove(sq("e7"), sq("e8"), QUEEN));
    EXPECT_EQ(TextToMove("e2"), NO_MOVE);
    EXPECT_EQ(sq("a1"), 7u);
    EXPECT_EQ(sq("h8"), 56u);

    load(START_FEN);
    Move moves[8];
    EXPECT_EQ(ParseSanList("e4 Nf3 O-O", moves, 8), 3);
    EXPECT_EQ(moves[0], 1739);
    EXPECT_EQ(moves[1], 1153);
    EXPECT_EQ(moves[2], 67);
    EXPECT_EQ(ParseSanList("e5", moves, 8), -1);
    // Disambiguation by file; the pawn capture takes the pawn on the named file.
    load("4k3/8/8/3p4/4P3/5N2/8/1N2K3 w - - 0 1");
    EXPECT_EQ(ParseSanList("Nbd2; Nfd2", moves, 8), 1);
    EXPECT_EQ(moves[0], makeMove(sq("b1"), sq("d2")));
    EXPECT_EQ(ParseSanList("Nfd2 exd5 Ng1f3", moves, 8), 3);
    EXPECT_EQ(moves[0], makeMove(sq("f3"), sq("d2")));
    EXPECT_EQ(moves[1], makeMove(sq("e4"), sq("d5")));
    EXPECT_EQ(moves[2], makeMove(sq("g1"), sq("f3")));
    // A pinned knight is no candidate.
    load("4k3/4r3/8/8/8/2N1N3/8/4K3 w - - 0 1");
    EXPECT_EQ(ParseSanList("Nd5", moves, 8), 1);
    EXPECT_EQ(moves[0], makeMove(sq("c3"), sq("d5")));
    EXPECT_EQ(ParseSanList("Qd5", moves, 8), -1);
}

} // namespace

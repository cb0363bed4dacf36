#include "eval/tables.h"
#include "position/castling.h"
#include "position/attacks.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "position/zobrist.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace position;

namespace {

class MakeMoveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::initOnce();
        // Arbitrary table values so that the incremental sums are really exercised.
        std::mt19937 rng(3);
        for (auto &t : eval::PstMid)
            for (auto &c : t)
                for (auto &v : c)
                    v = std::int8_t(int(rng() % 101) - 50);
        std::memcpy(eval::PstEnd, eval::PstMid, sizeof eval::PstEnd);
        eval::PstEnd[PAWN][WHITE][20] = 77;
    }
    void TearDown() override {
        std::memset(eval::PstMid, 0, sizeof eval::PstMid);
        std::memset(eval::PstEnd, 0, sizeof eval::PstEnd);
    }
};

// Everything make/unmake must restore: the board part, the game history, and the state words
// with the incremental sums.
void expectSamePosition(const Position &a, const Position &b) {
    auto same = [&](std::size_t from, std::size_t to) {
        return std::memcmp(reinterpret_cast<const char *>(&a) + from,
                           reinterpret_cast<const char *>(&b) + from, to - from) == 0;
    };
    ASSERT_TRUE(same(0, offsetof(Position, keyHistory))) << "pieces, board, king squares or counts";
    ASSERT_EQ(a.historyCount, b.historyCount);
    ASSERT_EQ(std::memcmp(a.keyHistory, b.keyHistory, a.historyCount * sizeof(std::uint64_t)), 0);
    ASSERT_TRUE(same(offsetof(Position, key), offsetof(Position, evalWork))) << "keys, state words or sums";
}

// Long random games from many positions: after every move the incremental fields equal a fresh
// computation, KeyAfterMove predicts the key, every generated move passes the pseudo-legality
// test of stored moves, and unmaking restores the position exactly.
void playRandomGames(const std::vector<std::string> &fens, int &movesChecked) {
    std::mt19937 rng(11);
    std::vector<MoveEntry> list(MAX_MOVES);
    for (const std::string &fen : fens) {
        LoadFen(fen);
        Position pos = GamePosition;
        ASSERT_TRUE(positionIsConsistent(pos)) << fen;
        for (int ply = 0; ply < 120; ++ply) {
            int n = GenerateLegal(pos, list.data());
            if (n == 0) break;
            for (int i = 0; i < n; ++i) {
                Move m = entryMove(list[std::size_t(i)]);
                ASSERT_TRUE(IsMovePseudoLegal(pos, m)) << fen << " " << moveText(m);
                Position before = pos;
                UndoState undo = saveUndo(pos);
                std::uint64_t predicted = KeyAfterMove(pos, m);
                PieceType captured;
                MakeMove(pos, m, captured);
                ASSERT_TRUE(positionIsConsistent(pos)) << fen << " " << m;
                if (pos.castling == before.castling) {
                    ASSERT_EQ(predicted, pos.key);
                }
                ASSERT_FALSE(
                    IsSquareAttacked(pos, Colour(pos.sideToMove), pos.kingSquare[before.sideToMove]));
                // A promoted piece's own check is not looked for (only the pawn's and discoveries).
                if (movePromotion(m) == KING) {
                    ASSERT_EQ(GivesCheck(before, m), IsSquareAttacked(pos, Colour(before.sideToMove),
                                                                      pos.kingSquare[pos.sideToMove]));
                }
                UnmakeMove(pos, m, captured, undo);
                expectSamePosition(pos, before);
                ++movesChecked;
            }
            // A null move, en-passant square and all, is undone exactly too.
            Position before = pos;
            MakeNullMove(pos);
            ASSERT_TRUE(positionIsConsistent(pos)) << fen;
            UnmakeNullMove(pos, before.epSquare);
            expectSamePosition(pos, before);
            Move chosen = entryMove(list[rng() % unsigned(n)]);
            PieceType captured;
            MakeMove(pos, chosen, captured);
            if (pos.historyCount > 200) pos.historyCount = 1;
        }
    }
}

TEST_F(MakeMoveTest, RandomGamesKeepEveryInvariant) {
    std::vector<std::string> fens;
    auto records = testsupport::readPerftFile();
    for (std::size_t r = 0; r < records.size(); r += 2)
        fens.push_back(records[r].fen);
    int checked = 0;
    playRandomGames(fens, checked);
    EXPECT_GT(checked, 50000);
}

// The same from Chess960 positions, whose castling moves are the king taking its rook.
TEST_F(MakeMoveTest, RandomChess960GamesKeepEveryInvariant) {
    std::vector<std::string> fens;
    std::ifstream in(testsupport::dataPath("perft960.epd"));
    for (std::string line; std::getline(in, line);)
        fens.push_back(line.substr(0, line.find(" ;")));
    Chess960Mode = true;
    int checked = 0;
    playRandomGames(fens, checked);
    Chess960Mode = false;
    LoadFen(START_FEN);
    EXPECT_GT(checked, 50000);
}

TEST_F(MakeMoveTest, MirroredTwinsShareTheirKey) {
    auto records = testsupport::readPerftFile();
    for (const auto &r : records) {
        LoadFen(r.fen);
        std::uint64_t key = GamePosition.key;
        LoadFen(testsupport::mirrorFen(r.fen));
        EXPECT_EQ(GamePosition.key, key) << r.fen;
    }
    // Passing the move reverses the key's bytes.
    LoadFen(START_FEN);
    std::uint64_t white = GamePosition.key;
    LoadFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 0");
    EXPECT_EQ(GamePosition.key, Swap(white));
}

TEST_F(MakeMoveTest, CastlingRightsAndKeyConstants) {
    Position pos;
    PieceType captured;
    // A rook leaving h1 drops K; a capture on a8 drops q even when a knight stood there.
    LoadFen("n3k2r/8/8/8/8/8/6B1/R3K2R w KQk - 0 1");
    pos = GamePosition;
    MakeMove(pos, makeMove(SQ_H1, SQ_H1 + 8), captured);
    EXPECT_EQ(pos.castling, CASTLE_Q | CASTLE_k);
    pos = GamePosition;
    pos.castling |= CASTLE_q; // a right the board does not support still goes with the capture
    MakeMove(pos, makeMove(textToSquare('g', '2'), SQ_A8), captured);
    EXPECT_EQ(captured, KNIGHT);
    EXPECT_EQ(pos.castling & CASTLE_q, 0u);

    // The byte table read as windows: the published examples.
    EXPECT_EQ(Window(0), 0x456A96C1912CD954ULL);
    EXPECT_EQ(Window(320), 0x172DD581C555F39BULL);
    EXPECT_EQ(ZobristWindow(5, 1, 0), Swap(Window(320)));
    // The castling constants of the rook's key terms are the same for both colours.
    EXPECT_EQ(PieceKey[ROOK][SQ_H1] ^ PieceKey[ROOK][SQ_F1], 0x92629E54AA6F2DBAULL);
    EXPECT_EQ(PieceKey[ROOK][SQ_A1] ^ PieceKey[ROOK][SQ_D1], 0xB5724665B22648E0ULL);
}

// Stored moves that do not fit the position (the generated ones all pass, see above).
TEST_F(MakeMoveTest, PseudoLegalityOfStoredMoves) {
    const char *castles = "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1";
    const char *promotion = "8/4P3/8/8/8/k7/8/K7 w - - 0 1";
    struct Case {
        const char *fen;
        Move move;
        bool pseudoLegal;
    } cases[] = {
        {castles, CASTLE_BK, false}, // not Black's turn
        {castles, TextToMove("e2e5"), false},
        {castles, TextToMove("e2d3"), false}, // no capture there
        {castles, TextToMove("a1a3"), false}, // blocked
        {castles, TextToMove("e7e5"), false}, // the opponent's piece
        {castles, 0, false},
        {promotion, TextToMove("e7e8"), false}, // a promotion needs its piece
        {promotion, TextToMove("e7e8n"), true},
    };
    for (const Case &c : cases) {
        LoadFen(c.fen);
        EXPECT_EQ(IsMovePseudoLegal(GamePosition, c.move), c.pseudoLegal) << c.fen << " " << moveText(c.move);
    }
}

TEST_F(MakeMoveTest, RepetitionCounting) {
    LoadFen(START_FEN);
    Position pos = GamePosition;
    const Move cycle[4] = {TextToMove("g1f3"), TextToMove("g8f6"), TextToMove("f3g1"), TextToMove("f6g8")};
    PieceType captured;
    for (int round = 0; round < 2; ++round)
        for (Move m : cycle)
            MakeMove(pos, m, captured);
    // The start position occurred twice before the current one; the current entry is not counted.
    EXPECT_EQ(RepetitionCount(pos, pos.key, pos.sideToMove), 2);
    // After Nf3 Nf6 Ng1, Black's Ng8 would repeat a position.
    MakeMove(pos, cycle[0], captured);
    MakeMove(pos, cycle[1], captured);
    EXPECT_EQ(RepetitionCount(pos, KeyAfterMove(pos, cycle[2]), pos.sideToMove ^ 1), 2);
    std::vector<MoveEntry> scratch(MAX_MOVES);
    EXPECT_TRUE(MoveAllowsRepetition(pos, cycle[2], scratch.data()));
    EXPECT_FALSE(MoveAllowsRepetition(pos, TextToMove("e2e4"), scratch.data()));
}

} // namespace

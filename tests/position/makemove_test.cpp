#include "eval/tables.h"
#include "position/attacks.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "position/zobrist.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
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
                for (auto &v : c) v = std::int8_t(int(rng() % 101) - 50);
        std::memcpy(eval::PstEnd, eval::PstMid, sizeof eval::PstEnd);
        eval::PstEnd[PAWN][WHITE][20] = 77;
    }
    void TearDown() override {
        std::memset(eval::PstMid, 0, sizeof eval::PstMid);
        std::memset(eval::PstEnd, 0, sizeof eval::PstEnd);
    }
};

void expectSamePosition(const Position &a, const Position &b) {
    ASSERT_EQ(std::memcmp(a.pieces, b.pieces, sizeof a.pieces), 0);
    ASSERT_EQ(std::memcmp(a.occupied, b.occupied, sizeof a.occupied), 0);
    ASSERT_EQ(std::memcmp(a.board, b.board, sizeof a.board), 0);
    ASSERT_EQ(std::memcmp(a.kingSquare, b.kingSquare, sizeof a.kingSquare), 0);
    ASSERT_EQ(std::memcmp(a.pieceCount, b.pieceCount, sizeof a.pieceCount), 0);
    ASSERT_EQ(a.historyCount, b.historyCount);
    ASSERT_EQ(std::memcmp(a.keyHistory, b.keyHistory, a.historyCount * sizeof(std::uint64_t)), 0);
    ASSERT_EQ(a.key, b.key);
    ASSERT_EQ(a.pawnKey, b.pawnKey);
    ASSERT_EQ(a.epSquare, b.epSquare);
    ASSERT_EQ(a.castling, b.castling);
    ASSERT_EQ(a.sideToMove, b.sideToMove);
    ASSERT_EQ(a.fifty, b.fifty);
    ASSERT_EQ(std::memcmp(a.material, b.material, sizeof a.material), 0);
    ASSERT_EQ(std::memcmp(a.pstMg, b.pstMg, sizeof a.pstMg), 0);
    ASSERT_EQ(std::memcmp(a.pstEg, b.pstEg, sizeof a.pstEg), 0);
}

// The colour-mirrored twin: colours exchanged, ranks mirrored, the other side to move.
std::string mirrorFen(const std::string &fen) {
    std::string board = fen.substr(0, fen.find(' '));
    std::vector<std::string> ranks;
    std::size_t start = 0;
    for (std::size_t slash; (slash = board.find('/', start)) != std::string::npos; start = slash + 1)
        ranks.push_back(board.substr(start, slash - start));
    ranks.push_back(board.substr(start));
    std::string out;
    for (auto it = ranks.rbegin(); it != ranks.rend(); ++it) {
        for (char c : *it) out += char(std::isalpha(static_cast<unsigned char>(c)) ? (c ^ 32) : c);
        if (it + 1 != ranks.rend()) out += '/';
    }
    std::string rest = fen.substr(fen.find(' ') + 1);
    char side = rest[0] == 'w' ? 'b' : 'w';
    std::string castling = rest.substr(2, rest.find(' ', 2) - 2), swapped;
    for (char c : castling) swapped += c == '-' ? c : char(c ^ 32);
    std::string after = rest.substr(2 + castling.size() + 1);
    std::string ep = after.substr(0, after.find(' '));
    if (ep != "-") ep[1] = char('1' + '8' - ep[1]);
    return out + ' ' + side + ' ' + swapped + ' ' + ep + after.substr(ep.size());
}

// Long random games from many positions: after every move the incremental fields equal a fresh
// computation, KeyAfterMove predicts the key, and unmaking restores the position exactly.
TEST_F(MakeMoveTest, RandomGamesKeepEveryInvariant) {
    std::mt19937 rng(11);
    std::vector<MoveEntry> list(MAX_MOVES);
    auto records = testsupport::readPerftFile();
    int movesChecked = 0;
    for (std::size_t r = 0; r < records.size(); r += 2) {
        LoadFen(records[r].fen);
        Position pos = GamePosition;
        ASSERT_TRUE(positionIsConsistent(pos)) << records[r].fen;
        for (int ply = 0; ply < 120; ++ply) {
            int n = GenerateLegal(pos, list.data());
            if (n == 0) break;
            for (int i = 0; i < n; ++i) {
                Move m = entryMove(list[std::size_t(i)]);
                Position before = pos;
                UndoState undo = saveUndo(pos);
                std::uint64_t predicted = KeyAfterMove(pos, m);
                PieceType captured;
                MakeMove(pos, m, captured);
                ASSERT_TRUE(positionIsConsistent(pos)) << records[r].fen << " " << m;
                if (pos.castling == before.castling) {
                    ASSERT_EQ(predicted, pos.key);
                }
                ASSERT_FALSE(IsSquareAttacked(pos, Colour(pos.sideToMove), pos.kingSquare[before.sideToMove]));
                // A promoted piece's own check is not looked for (only the pawn's and discoveries).
                if (movePromotion(m) == KING) {
                    ASSERT_EQ(GivesCheck(before, m), IsSquareAttacked(pos, Colour(before.sideToMove),
                                                                       pos.kingSquare[pos.sideToMove]));
                }
                UnmakeMove(pos, m, captured, undo);
                expectSamePosition(pos, before);
                ++movesChecked;
            }
            Move chosen = entryMove(list[rng() % unsigned(n)]);
            PieceType captured;
            MakeMove(pos, chosen, captured);
            if (pos.historyCount > 200) pos.historyCount = 1;
        }
    }
    EXPECT_GT(movesChecked, 50000);
}

TEST_F(MakeMoveTest, MirroredTwinsShareTheirKey) {
    auto records = testsupport::readPerftFile();
    for (const auto &r : records) {
        LoadFen(r.fen);
        std::uint64_t key = GamePosition.key;
        LoadFen(mirrorFen(r.fen));
        EXPECT_EQ(GamePosition.key, key) << r.fen << " / " << mirrorFen(r.fen);
    }
    // Passing the move reverses the key's bytes.
    LoadFen(START_FEN);
    std::uint64_t white = GamePosition.key;
    LoadFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 0");
    EXPECT_EQ(GamePosition.key, Swap(white));
}

TEST_F(MakeMoveTest, NullMoveAndSpecialMoves) {
    // Null move with an en-passant square set restores the key exactly.
    LoadFen("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 3");
    Position pos = GamePosition;
    ASSERT_EQ(pos.epSquare, textToSquare('e', '3'));
    Position before = pos;
    MakeNullMove(pos);
    EXPECT_EQ(pos.epSquare, NO_SQUARE);
    EXPECT_TRUE(positionIsConsistent(pos));
    UnmakeNullMove(pos, before.epSquare);
    expectSamePosition(pos, before);

    // After e2e4 from the start no Black pawn attacks e3: no en-passant square; fifty is 1.
    LoadFen(START_FEN);
    pos = GamePosition;
    PieceType captured;
    MakeMove(pos, makeMove(textToSquare('e', '2'), textToSquare('e', '4')), captured);
    EXPECT_EQ(pos.epSquare, NO_SQUARE);
    EXPECT_EQ(pos.fifty, 1u);
    LoadFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_EQ(pos.key, GamePosition.key);

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

TEST_F(MakeMoveTest, PseudoLegalityOfStoredMoves) {
    LoadFen("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1");
    const Position &pos = GamePosition;
    auto sq = [](const char *s) { return textToSquare(s[0], s[1]); };
    EXPECT_TRUE(IsMovePseudoLegal(pos, CASTLE_WK));
    EXPECT_TRUE(IsMovePseudoLegal(pos, CASTLE_WQ));
    EXPECT_FALSE(IsMovePseudoLegal(pos, CASTLE_BK)); // not Black's turn
    EXPECT_TRUE(IsMovePseudoLegal(pos, makeMove(sq("e2"), sq("e4"))));
    EXPECT_FALSE(IsMovePseudoLegal(pos, makeMove(sq("e2"), sq("e5"))));
    EXPECT_FALSE(IsMovePseudoLegal(pos, makeMove(sq("e2"), sq("d3")))); // no capture there
    EXPECT_FALSE(IsMovePseudoLegal(pos, makeMove(sq("a1"), sq("a3")))); // blocked
    EXPECT_FALSE(IsMovePseudoLegal(pos, makeMove(sq("e7"), sq("e5")))); // opponent's piece
    EXPECT_FALSE(IsMovePseudoLegal(pos, 0));
    LoadFen("8/4P3/8/8/8/k7/8/K7 w - - 0 1");
    EXPECT_FALSE(IsMovePseudoLegal(GamePosition, makeMove(sq("e7"), sq("e8"))));
    EXPECT_TRUE(IsMovePseudoLegal(GamePosition, makeMove(sq("e7"), sq("e8"), KNIGHT)));
}

TEST_F(MakeMoveTest, RepetitionCounting) {
    LoadFen(START_FEN);
    Position pos = GamePosition;
    auto sq = [](const char *s) { return textToSquare(s[0], s[1]); };
    const Move cycle[4] = {makeMove(sq("g1"), sq("f3")), makeMove(sq("g8"), sq("f6")),
                           makeMove(sq("f3"), sq("g1")), makeMove(sq("f6"), sq("g8"))};
    PieceType captured;
    for (int round = 0; round < 2; ++round)
        for (Move m : cycle) MakeMove(pos, m, captured);
    // The start position occurred twice before the current one; the current entry is not counted.
    EXPECT_EQ(RepetitionCount(pos, pos.key, pos.sideToMove), 2);
    // After Nf3 Nf6 Ng1, Black's Ng8 would repeat a position.
    MakeMove(pos, cycle[0], captured);
    MakeMove(pos, cycle[1], captured);
    EXPECT_EQ(RepetitionCount(pos, KeyAfterMove(pos, cycle[2]), pos.sideToMove ^ 1), 2);
    std::vector<MoveEntry> scratch(MAX_MOVES);
    EXPECT_TRUE(MoveAllowsRepetition(pos, cycle[2], scratch.data()));
    EXPECT_FALSE(MoveAllowsRepetition(pos, makeMove(sq("e2"), sq("e4")), scratch.data()));
}

} // namespace

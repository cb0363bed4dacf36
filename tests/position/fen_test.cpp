#include "position/attacks.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/notation.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace position;

namespace {

Square sq(const char *s) { return textToSquare(s[0], s[1]); }

// The notes LoadFen made, in order.
std::vector<std::string> load(const std::string &fen, bool *refused = nullptr) {
    FenNotes notes = LoadFen(fen);
    if (refused) *refused = notes.refused;
    return std::vector<std::string>(notes.notes, notes.notes + notes.count);
}

// The move ApplyMoveList refused, or "" when it played them all.
std::string apply(const std::string &moves) {
    MoveListResult result = ApplyMoveList(moves);
    EXPECT_EQ(result.complete, result.refused[0] == 0) << moves;
    return result.refused;
}

class FenTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::initOnce(); }
};

// Every faulty field is reported; only fatal faults load the start position, the others are
// repaired as the message says.
TEST_F(FenTest, FaultyFieldsAreReportedAndRepaired) {
    const std::string fallback = " - Loading Startposition instead ...", board = "Board corrupted" + fallback,
                      castling = "Castling Rights corrupted - Ignore Castling Flags",
                      ep = "En Passant Square corrupted - Ignore EP-Square";
    LoadFen(START_FEN);
    const std::uint64_t startKey = GamePosition.key;
    struct Case {
        std::string fen;
        std::vector<std::string> messages;
        bool loadsStart = false;
        int castling = -1, fifty = -1; // -1: not checked
    };
    const Case cases[] = {
        {"", {"To few Elements" + fallback}, true},
        {"8/8/8/8/8/8/8/K6k", {"To few Elements" + fallback}, true},
        {"8/8/8/8/8/8/8/K6k b", {"To few Elements - Assume no Castling-Right, no EP-Square and ply = 0"}},
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq", {"To few Elements - Assume no EP-Square and ply = 0"}, false, 15},
        {"8/8/8/8/8/8/8/K6k w KQkq",
         {"To few Elements - Assume no EP-Square and ply = 0", castling},
         false,
         0},
        {"8/8/8/8/8/8/8/K6k w - -", {"To few Elements - Assume ply = 0"}},
        {"8/8/8/8/8/8/8/K6k w - - 7", {"To few Elements - Ignore last Element"}, false, -1, 7},
        {"8/8/8/8/8/8/8/K6 w - - 0 1", {board}, true},                               // short rank
        {"8/8/8/8/8/8/9/K6k w - - 0 1", {board}, true},                              // 9
        {"8/8/8/8/8/8/8/K6kk w - - 0 1", {board}, true},                             // long rank
        {"8/8/8/8/8/8/K6k w - - 0 1", {board}, true},                                // 7 ranks
        {"8/8/8/8/8/8/8/K6k/8 w - - 0 1", {board}, true},                            // 9 ranks
        {"8/8/8/8/8/8/8/K7 w - - 0 1", {board}, true},                               // no Black king
        {"rnbqkbnr/ppppxppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", {board}, true}, // no piece
        {std::string(200, '8') + " w - - 0 1", {board}, true},
        {"\x01\xff\x80 w - - 0 1", {board}, true},
        {"8/8/8/8/8/8/8/K6k x - - 0 1", {"Side To Move corrupted" + fallback}, true},
        {"8/8/8/8/8/8/8/K6k W - - 0 1", {}},
        {"4k3/8/8/8/8/8/4R3/4K3 w - - 0 1", {"Side Not To Move in Check" + fallback}, true},
        {"4k3/4R3/8/8/8/8/8/4K3 b - - 0 1", {}}, // the side to move may be in check
        // The h1 rook is missing, so K goes and Q, k, q stay; the note comes once.
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w KQkq - 0 1", {castling}, false, 14},
        {"r3k3/8/8/8/8/8/8/4K3 w KQkq - 0 1", {castling}, false, CASTLE_q},
        {"r3k3/8/8/8/8/8/8/4K3 w KQkqKQkqKQkq - 0 1", {castling}, false, 0},
        {"8/8/8/8/8/8/8/K6k w - e4 0 1", {ep}},
        {"4k3/8/8/8/4P3/8/8/4K3 b - z3 0 1", {ep}},
        {"4k3/8/8/8/4P3/8/8/4K3 b - e3e3e3e3 0 1", {ep}},
        {"8/8/8/8/8/8/8/K6k w - - 101 1", {"50-move counter corrupted - Assume ply = 0"}, false, -1, 0},
        {"4k3/8/8/8/8/8/8/4K3 w - - -3 1", {}, false, -1, 253},
        {"8/8/8/8/8/8/8/K6k w - - 0 1 trailing text", {}},
    };
    for (const Case &c : cases) {
        LoadFen("8/8/8/8/8/8/8/k6K w - - 0 1"); // a position unlike the start
        std::vector<std::string> notes;
        for (const std::string &m : c.messages)
            notes.push_back("Invalid Fen: " + m);
        bool refused = false;
        EXPECT_EQ(load(c.fen, &refused), notes) << c.fen;
        EXPECT_EQ(refused, c.loadsStart) << c.fen;
        EXPECT_EQ(GamePosition.key == startKey, c.loadsStart) << c.fen;
        EXPECT_TRUE(c.castling < 0 || GamePosition.castling == unsigned(c.castling)) << c.fen;
        EXPECT_TRUE(c.fifty < 0 || GamePosition.fifty == unsigned(c.fifty)) << c.fen;
        EXPECT_TRUE(c.messages != std::vector{ep} || GamePosition.epSquare == NO_SQUARE) << c.fen;
    }
    // A short FEN means what the full one with defaults means.
    load("r3k2r/8/8/8/8/8/8/R3K2R w");
    std::uint64_t shortKey = GamePosition.key;
    load("r3k2r/8/8/8/8/8/8/R3K2R w - - 0 1");
    EXPECT_EQ(GamePosition.key, shortKey);
}

TEST_F(FenTest, EnPassantSquareOnlyWhenUsable) {
    // After 1. e4 no Black pawn attacks e3: the square goes silently.
    EXPECT_TRUE(load("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1").empty());
    EXPECT_EQ(GamePosition.epSquare, NO_SQUARE);
    // With a Black pawn on d4 it stays, and the key equals the one reached by playing e2e4.
    EXPECT_TRUE(load("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 3").empty());
    EXPECT_EQ(GamePosition.epSquare, sq("e3"));
    std::uint64_t fenKey = GamePosition.key;
    load("rnbqkbnr/ppp1pppp/8/8/3p4/8/PPPPPPPP/RNBQKBNR w KQkq - 0 3");
    EXPECT_EQ(apply("e2e4"), "");
    EXPECT_EQ(GamePosition.key, fenKey);
    EXPECT_EQ(GamePosition.epSquare, sq("e3"));
}

// Move lists: the first invalid move ends the list and earlier moves stay played; a second move
// of the same colour passes the turn first; promotions default to a queen; upper case reads the
// same; a move into check or castling without the right is refused.
TEST_F(FenTest, MoveLists) {
    const char *promotion = "8/4P3/8/8/8/k7/8/K7 w - - 0 1";
    struct Case {
        const char *fen, *moves, *refused, *square;
        std::uint32_t cell;
        int sideToMove;
    } cases[] = {
        {START_FEN, "e2e4 e7e5", "", "e5", makeCell(BLACK, PAWN), WHITE},
        {START_FEN, "e2e4 d2d4", "", "d4", makeCell(WHITE, PAWN), BLACK},
        {promotion, "E7E8", "", "e8", makeCell(WHITE, QUEEN), BLACK},
        {promotion, "e7e8n", "", "e8", makeCell(WHITE, KNIGHT), BLACK},
        {START_FEN, "e2e4 e7e5 e1e3 g1f3", "e1e3", "g1", makeCell(WHITE, KNIGHT), WHITE},
        {START_FEN, "e2e9", "e2e9", "e2", makeCell(WHITE, PAWN), WHITE},
        {START_FEN, "e2e", "e2e", "e2", makeCell(WHITE, PAWN), WHITE},
        {"4k3/8/8/8/8/8/4r3/4K3 w - - 0 1", "e1f1 e2e1", "", "e1", makeCell(BLACK, ROOK), WHITE},
        {"3k4/8/8/8/8/8/4R3/4K2r w - - 0 1", "e2d2", "e2d2", "e2", makeCell(WHITE, ROOK), WHITE},
        {"4k3/8/8/8/8/8/8/4K2R w - - 0 1", "e1g1", "e1g1", "e1", makeCell(WHITE, KING), WHITE},
        {"4k3/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", "", "f1", makeCell(WHITE, ROOK), BLACK},
    };
    for (const Case &c : cases) {
        EXPECT_TRUE(load(c.fen).empty()) << c.fen;
        EXPECT_EQ(apply(c.moves), c.refused) << c.moves;
        EXPECT_EQ(GamePosition.board[sq(c.square)], c.cell) << c.moves;
        EXPECT_EQ(GamePosition.sideToMove, c.sideToMove) << c.moves;
    }
}

TEST_F(FenTest, Notation) {
    EXPECT_EQ(makeMove(sq("e7"), sq("e8"), KNIGHT), 4 * 4096 + 59 * 64 + 51);
    EXPECT_EQ(moveText(makeMove(sq("e7"), sq("e8"), KNIGHT)), "e7e8n");
    EXPECT_EQ(moveText(NullMove), "0000");
    EXPECT_EQ(TextToMove("  E7E8q"), makeMove(sq("e7"), sq("e8"), QUEEN));
    EXPECT_EQ(TextToMove("e2"), NO_MOVE);
    // SAN lists: disambiguation by file, the pawn capture on the named file, a pinned knight
    // that is no candidate; the count of moves read, or -1 when the first fails.
    struct Case {
        const char *fen, *san;
        int count;
        std::vector<const char *> moves;
    } cases[] = {
        {START_FEN, "e4 Nf3 O-O", 3, {"e2e4", "g1f3", "e1g1"}},
        {START_FEN, "e5", -1, {}},
        {"4k3/8/8/3p4/4P3/5N2/8/1N2K3 w - - 0 1", "Nbd2; Nfd2", 1, {"b1d2"}},
        {"4k3/8/8/3p4/4P3/5N2/8/1N2K3 w - - 0 1", "Nfd2 exd5 Ng1f3", 3, {"f3d2", "e4d5", "g1f3"}},
        {"4k3/4r3/8/8/8/2N1N3/8/4K3 w - - 0 1", "Nd5", 1, {"c3d5"}},
        {"4k3/4r3/8/8/8/2N1N3/8/4K3 w - - 0 1", "Qd5", -1, {}},
    };
    for (const Case &c : cases) {
        load(c.fen);
        Move moves[8];
        ASSERT_EQ(ParseSanList(c.san, moves, 8), c.count) << c.san;
        for (std::size_t i = 0; i < c.moves.size(); ++i)
            EXPECT_EQ(moveText(moves[i]), c.moves[i]) << c.san;
    }
}

} // namespace

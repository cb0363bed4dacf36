// Chess960 through the binary: castling as the king taking its rook under UCI, by name or that
// way under xboard, and the standard game back after "new".
#include "support/engine_process.h"

#include <gtest/gtest.h>

using testsupport::EngineProcess;
using testsupport::startsWith;

namespace {

std::string bestMove(EngineProcess &e, const std::string &go) {
    e.send(go);
    std::vector<std::string> seen = e.readThrough("bestmove ", 20000);
    return startsWith(seen.back(), "bestmove ") ? seen.back().substr(9, 4) : seen.back();
}

} // namespace

TEST(Chess960, UciCastlesAsTheKingTakingItsRook) {
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake({"setoption name UCI_Chess960 value true", "setoption name OwnBook value false"}));
    // King f1 and rook h1 (Shredder-FEN "H"); black king b8 and rook a8 (X-FEN "q").
    const std::string fen = "rk6/8/8/8/8/8/8/5K1R w Hq - 0 1";
    EXPECT_EQ(bestMove(e, "position fen " + fen + "\ngo depth 2 searchmoves f1h1"), "f1h1");
    // Both sides castle; the rooks then stand on f1 and d8, which the next moves show.
    EXPECT_EQ(bestMove(e, "position fen " + fen + " moves f1h1 b8a8\ngo depth 2 searchmoves f1f7"), "f1f7");
    e.send("position fen " + fen + " moves f1h1 b8a8 f1f7 d8d2\nisready");
    EXPECT_EQ(e.readUntil("readyok"), std::vector<std::string>{});
    // A rook's e1g1 is no castling, whatever the start was.
    EXPECT_EQ(bestMove(e, "position fen 3k4/8/8/8/8/8/8/4R2K w - - 0 1\ngo depth 1 searchmoves e1g1"), "e1g1");
    // The standard start in Chess960 castles as e1h1 too.
    e.send("position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves e1h1 e8a8\nisready");
    EXPECT_EQ(e.readUntil("readyok"), std::vector<std::string>{});
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

TEST(Chess960, XboardTakesCastlingByName) {
    EngineProcess e;
    e.write("setoption name OwnBook value false\nxboard\nprotover 2\n");
    ASSERT_TRUE(e.readUntil("feature done=1").has_value());
    e.write("new\nvariant fischerandom\nforce\nsetboard rk6/8/8/8/8/8/8/5K1R w Hq - 0 1\nO-O\nO-O-O\nf1f7\nd8d2\nping 1\n");
    EXPECT_EQ(e.readUntil("pong 1"), std::vector<std::string>{}); // all four moves legal
    // After "new" the game is standard chess again: O-O is no move there.
    e.write("new\nforce\nO-O\nping 2\n");
    EXPECT_EQ(e.readUntil("pong 2"), std::vector<std::string>{"Error (unknown command): O-O"});
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

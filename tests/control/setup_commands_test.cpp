// Position commands of every protocol mode, through the engine binary. The FEN messages
// themselves are checked in-process (position/fen_test.cpp).
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::EngineProcess;
using Lines = std::vector<std::string>;

namespace {

std::string invalid(const std::string &text) { return "info string Invalid Fen: " + text; }

} // namespace

TEST(SetupCommands, ConsoleFenMovesNewAndPerft) {
    testsupport::TempDirectory dir;
    EngineProcess engine(dir.path());
    ASSERT_TRUE(engine.readUntil("Cannot open default.ini"));
    // Every exchange ends with an unknown option as a marker.
    auto exchange = [&](const Lines &lines) {
        for (const std::string &line : lines)
            engine.send(line);
        engine.send("setoption name marker");
        return engine.readUntil("info string ERROR: Unknown Option!").value_or(Lines{"<timeout>"});
    };
    const Lines start = exchange({"d"});
    ASSERT_EQ(start.size(), 14u);
    EXPECT_EQ(start[3], "8  r n b q k b n r  8");
    // A repaired FEN is loaded; a fatal fault, or "fen" alone, loads the start position.
    EXPECT_EQ(exchange({"fen 8/8/8/8/8/8/8/K6k w - - 101 1"}),
              Lines{invalid("50-move counter corrupted - Assume ply = 0")});
    EXPECT_EQ(exchange({"d"})[3], "8  . . . . . . . .  8");
    EXPECT_EQ(exchange({"fen 8/8/8/8/8/8/8/K6 w - - 0 1"}),
              Lines{invalid("Board corrupted - Loading Startposition instead ...")});
    EXPECT_EQ(exchange({"d"}), start);
    EXPECT_EQ(exchange({"fen 8/8/8/8/8/8/8/K6k w - - 0 1", "fen"}),
              Lines{invalid("To few Elements - Loading Startposition instead ...")});
    EXPECT_EQ(exchange({"d"}), start);

    EXPECT_EQ(exchange({"move e2e4 e7e5"}), Lines{});
    Lines after = exchange({"d"});
    EXPECT_EQ(after[6], "5  . . . . p . . .  5");
    EXPECT_EQ(after[7], "4  . . . . P . . .  4");
    EXPECT_EQ(exchange({"move e1e3", "move"}), Lines{"info string Invalid Move: e1e3"});
    EXPECT_EQ(exchange({"new", "d"}), start);
    Lines perft = exchange({"perft 3"});
    ASSERT_EQ(perft.size(), 2u);
    EXPECT_EQ(perft[1].substr(0, 2), "3:");
    EXPECT_NE(perft[1].find("\t8902"), std::string::npos);
}

TEST(SetupCommands, UciPositionLoadsFenOrStartAndAppliesMoves) {
    testsupport::TempDirectory dir;
    EngineProcess engine(dir.path());
    ASSERT_TRUE(engine.uciHandshake());
    for (const char *line :
         {"position fen 8/8/8/8/8/8/8/K6k w - - 0 1 moves a1a2 h1h2 a2a9 h2h3",
          "position fen 8/8/8/8/8/8/8/K6k b", "position startpos moves e2e4 e7e5 g1f3 e5e4",
          "position startpos", "position", "position fen", "ucinewgame", "isready"})
        engine.send(line);
    EXPECT_EQ(engine.readUntil("readyok"),
              (Lines{"info string Invalid Move: a2a9",
                     invalid("To few Elements - Assume no Castling-Right, no EP-Square and ply = 0"),
                     "info string Invalid Move: e5e4",
                     invalid("To few Elements - Loading Startposition instead ...")}));
}

TEST(SetupCommands, XboardNewSetboardAndMoves) {
    testsupport::TempDirectory dir;
    EngineProcess engine(dir.path());
    ASSERT_TRUE(engine.readUntil("Cannot open default.ini"));
    for (const char *line : {"xboard", "force", "setboard 8/8/8/8/8/8/8/K6k w - - 101 1", "setboard", "a1a2",
                             "h1h2", "a1b1", "new", "force", "e2e5", "e2e4 e7e5", "sync"})
        engine.send(line);
    EXPECT_EQ(
        engine.readUntil("Error (unknown command): sync"),
        (Lines{invalid("50-move counter corrupted - Assume ply = 0"), "Error (unknown command): setboard",
               "Illegal move: a1b1", "Illegal move: e2e5"}));
}

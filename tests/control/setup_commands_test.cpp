// Position commands of every protocol mode, through the engine binary.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::EngineProcess;
using Lines = std::vector<std::string>;

namespace {

constexpr const char *START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

// A console-mode engine; every exchange ends with an unknown option as a marker.
struct Console {
    testsupport::TempDirectory dir;
    EngineProcess engine{dir.path()};
    Console() {
        EXPECT_TRUE(engine.startupLines("setoption name marker", "info string ERROR: Unknown Option!"));
    }
    Lines exchange(const Lines &lines) {
        for (const std::string &line : lines)
            engine.send(line);
        engine.send("setoption name marker");
        return engine.readUntil("info string ERROR: Unknown Option!").value_or(Lines{"<timeout>"});
    }
    Lines board() { return exchange({"d"}); }
};

std::string invalid(const std::string &text) { return "info string Invalid Fen: " + text; }

} // namespace

TEST(SetupCommands, EveryFaultyFenFieldIsReportedAndOnlyFatalOnesLoadTheStart) {
    Console c;
    const Lines start = c.board();
    ASSERT_EQ(start.size(), 14u);
    EXPECT_EQ(start[3], "8  r n b q k b n r  8");
    const std::string fallback = " - Loading Startposition instead ...";
    struct Case {
        std::string fen;
        Lines messages;
        bool loadsStart;
    };
    const std::vector<Case> cases = {
        {"", {invalid("To few Elements" + fallback)}, true},
        {"8/8/8/8/8/8/8/K6k", {invalid("To few Elements" + fallback)}, true},
        {"8/8/8/8/8/8/8/K6k b",
         {invalid("To few Elements - Assume no Castling-Right, no EP-Square and ply = 0")},
         false},
        {"8/8/8/8/8/8/8/K6k w KQkq",
         {invalid("To few Elements - Assume no EP-Square and ply = 0"),
          invalid("Castling Rights corrupted - Ignore Castling Flags")},
         false},
        {"8/8/8/8/8/8/8/K6k w - -", {invalid("To few Elements - Assume ply = 0")}, false},
        {"8/8/8/8/8/8/8/K6k w - - 0", {invalid("To few Elements - Ignore last Element")}, false},
        {"8/8/8/8/8/8/8/K6 w - - 0 1", {invalid("Board corrupted" + fallback)}, true},
        {"8/8/8/8/8/8/8/K6k/8 w - - 0 1", {invalid("Board corrupted" + fallback)}, true},
        {"8/8/8/8/8/8/8/K7 w - - 0 1", {invalid("Board corrupted" + fallback)}, true},
        {"8/8/8/8/8/8/8/K6k x - - 0 1", {invalid("Side To Move corrupted" + fallback)}, true},
        {"8/8/8/8/8/8/8/K6k W - - 0 1", {}, false},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w KQkq - 0 1",
         {invalid("Castling Rights corrupted - Ignore Castling Flags")},
         false},
        {"8/8/8/8/8/8/8/K6k w - e4 0 1", {invalid("En Passant Square corrupted - Ignore EP-Square")}, false},
        {"8/8/8/8/8/8/8/K6k w - - 101 1", {invalid("50-move counter corrupted - Assume ply = 0")}, false},
        {"4k3/8/8/8/8/8/4R3/4K3 w - - 0 1", {invalid("Side Not To Move in Check" + fallback)}, true},
        {"8/8/8/8/8/8/8/K6k w - - 0 1 trailing text", {}, false},
    };
    for (const Case &t : cases) {
        c.exchange({"fen 8/8/8/8/8/8/8/K6k w - - 0 1"}); // a position unlike the start
        EXPECT_EQ(c.exchange({"fen " + t.fen}), t.messages) << t.fen;
        EXPECT_EQ(c.board() == start, t.loadsStart) << t.fen;
    }
    // "fen" with nothing after it and a line too short to hold a FEN.
    EXPECT_EQ(c.exchange({"fen"}), Lines{invalid("To few Elements" + fallback)});
}

TEST(SetupCommands, ConsoleMovesNewAndPerft) {
    Console c;
    const Lines start = c.board();
    EXPECT_EQ(c.exchange({"move e2e4 e7e5"}), Lines{});
    Lines after = c.board();
    EXPECT_EQ(after[6], "5  . . . . p . . .  5");
    EXPECT_EQ(after[7], "4  . . . . P . . .  4");
    EXPECT_EQ(c.exchange({"move e1e3"}), Lines{"info string Invalid Move: e1e3"});
    EXPECT_EQ(c.exchange({"move"}), Lines{});
    EXPECT_EQ(c.exchange({"new"}), Lines{});
    EXPECT_EQ(c.board(), start);
    Lines perft = c.exchange({"perft 3"});
    ASSERT_EQ(perft.size(), 2u);
    EXPECT_EQ(perft[1].substr(0, 2), "3:");
    EXPECT_NE(perft[1].find("\t8902"), std::string::npos);
}

TEST(SetupCommands, UciPositionLoadsFenOrStartAndAppliesMoves) {
    testsupport::TempDirectory dir;
    EngineProcess engine(dir.path());
    ASSERT_TRUE(engine.readUntil("Cannot open default.ini"));
    engine.send("uci");
    ASSERT_TRUE(engine.readUntil("uciok"));
    engine.send("position fen 8/8/8/8/8/8/8/K6k w - - 0 1 moves a1a2 h1h2 a2a9 h2h3");
    engine.send("position fen 8/8/8/8/8/8/8/K6k b");
    engine.send("position startpos moves e2e4 e7e5 g1f3 e5e4");
    engine.send("position startpos");
    engine.send("position");
    engine.send("position fen");
    engine.send("ucinewgame");
    engine.send("isready");
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
    engine.send("xboard");
    engine.send("force");
    engine.send("setboard 8/8/8/8/8/8/8/K6k w - - 101 1");
    engine.send("setboard");
    engine.send("a1a2");
    engine.send("h1h2");
    engine.send("a1b1");
    engine.send("new");
    engine.send("force");
    engine.send("e2e5");
    engine.send("e2e4 e7e5");
    engine.send("sync");
    EXPECT_EQ(
        engine.readUntil("Error (unknown command): sync"),
        (Lines{invalid("50-move counter corrupted - Assume ply = 0"), "Error (unknown command): setboard",
               "Illegal move: a1b1", "Illegal move: e2e5"}));
}

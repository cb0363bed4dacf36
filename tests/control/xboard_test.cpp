// The xboard protocol through the real binary: handshake, unknown words, force and setboard,
// depth and time limits, the engine's clock in either colour, and pondering with hits and misses.
#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::startsWith;
using Lines = std::vector<std::string>;

namespace {

// Starts xboard mode without the book (book positions would be answered at once); the features.
Lines start(EngineProcess &e) {
    e.write("setoption name OwnBook value false\nxboard\nprotover 2\n");
    return e.readUntil("feature done=1").value_or(Lines{});
}

// True when no line starting with `prefix` comes within 300 ms.
bool silent(EngineProcess &e, const char *prefix) { return e.readThrough(prefix, 300).back() == "<timeout>"; }

// The lines up to the engine's "move" line, and the "Hint:" line after it when there is one.
struct Reply {
    Lines lines;
    std::string move, hint; // empty when none came
    long ms = 0;
    bool says(const std::string &text) const {
        for (const auto &l : lines)
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
};

Reply untilMove(EngineProcess &e, int timeoutMs = 20000) {
    Reply r;
    auto t0 = std::chrono::steady_clock::now();
    r.lines = e.readThrough("move ", timeoutMs);
    r.ms = long(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count());
    if (startsWith(r.lines.back(), "move ")) r.move = r.lines.back().substr(5);
    e.send("ping 99"); // the Hint line, if any, comes before the answer
    for (const auto &l : e.readUntil("pong 99").value_or(Lines{}))
        if (startsWith(l, "Hint: ")) r.hint = l.substr(6);
    return r;
}

// The deepest thinking line ("%2u %5d %7u %8u pv").
int maxDepth(const Reply &r) {
    int depth = 0;
    for (const auto &l : r.lines)
        if (!startsWith(l, "move")) depth = std::max(depth, std::atoi(l.c_str()));
    return depth;
}

TEST(Xboard, HandshakeCommandsForceAndSetboard) {
    EngineProcess e;
    Lines features = start(e);
    ASSERT_GE(features.size(), 17u);
    std::string tail;
    for (auto it = features.end() - 17; it != features.end(); ++it)
        tail += *it + ";";
    // The personality choices depend on the folder the tests run in.
    tail = std::regex_replace(tail, std::regex("-combo \\*main[^\"]*"), "-combo *main");
    EXPECT_EQ(tail, "feature done=0;feature ping=1;feature setboard=1;feature sigint=0;feature sigterm=0;"
                    "feature analyze=0;feature myname=\"Vorlan 1.8\";feature variants=\"normal,fischerandom\";"
                    "feature colors=0;feature name=0;feature nps=1;feature memory=1;feature smp=1;"
                    "feature egt=\"nalimov,syzygy\";feature option=\"UCI_LimitStrength -check 0\";"
                    "feature option=\"UCI_Elo -spin 1500 1350 2050\";feature option=\"Personality -combo *main\";");
    // Words the engine accepts without an answer.
    e.write(
        "accepted done\nrejected analyze\nvariant normal\ncomputer\nname x\nrating 1 2\nics -\nmemory 64\n"
        "cores 2\negtpath nalimov /x\noption UCI_Elo=1600\noption UCI_LimitStrength=0\ndraw\nresult 1-0 {x}\nhard\neasy\npost\nnopost\n"
        "level 40 5 0\nst 5\nsd 9\ntime 100\notim 100\nnps 1000\n?\n");
    // Unknown lines are named by their first word; e9e4 is no move; "uci" means nothing now.
    e.write("variant suicide\noption Knight=1\n  levels 40 5 0\ne9e4\nuci\nfrobnicate now\nping x\n");
    EXPECT_EQ(e.readUntil("pong 0"),
              (Lines{"Error (unknown variant): suicide", "Error (unknown option): Knight=1", "Error (unknown command): levels",
                     "Error (unknown command): e9e4", "Error (unknown command): uci",
                     "Error (unknown command): frobnicate"}));

    // Moves under force, then "go" plays the side to move (White) and "?" moves now.
    e.write("new\nforce\ne2e4\ne7e5\nst 30\ngo\n");
    EXPECT_TRUE(silent(e, "move "));
    e.send("?");
    Reply r = untilMove(e, 5000);
    ASSERT_FALSE(r.move.empty());
    EXPECT_TRUE(r.move[1] == '1' || r.move[1] == '2') << r.move; // a White piece moved
    // A bad FEN is answered and leaves a playable position.
    e.write("force\nsetboard this is no fen\nsd 2\ngo\n");
    r = untilMove(e);
    EXPECT_TRUE(r.says("Invalid Fen"));
    EXPECT_FALSE(r.move.empty());
    // The opponent's illegal move is answered and nothing is played for it.
    e.write("new\ne2e5\nping 3\n");
    Lines lines = e.readUntil("pong 3").value_or(Lines{});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("Illegal move"), std::string::npos);
    // The interface names the Syzygy folder as it names every kind of table.
    e.write("egtpath syzygy " + testsupport::dataPath("syzygy") + "\nping 4\n");
    EXPECT_EQ(e.readUntil("pong 4"), (Lines{"Syzygy tablebases: 6 tables (12 files), up to 4 pieces"}));
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

TEST(Xboard, LimitsClocksAndPondering) {
    EngineProcess e;
    start(e);
    e.write("new\npost\nsd 3\ne2e4\n");
    Reply r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    EXPECT_LE(maxDepth(r), 3);
    e.send(r.move == "e7e5" ? "g1f3" : "d2d4"); // the depth limit outlives the move
    r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    EXPECT_LE(maxDepth(r), 3);
    // After "new": clock play again, minutes:seconds; then a one-second move time.
    e.write("new\nlevel 0 0:02 0\ntime 200\notim 200\ne2e4\n");
    r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    EXPECT_LT(r.ms, 1000);
    EXPECT_GT(maxDepth(r), 3);
    e.send("st 1");
    e.send(r.move == "e7e5" ? "g1f3" : "d2d4");
    r = untilMove(e);
    EXPECT_GE(r.ms, 700);
    EXPECT_LT(r.ms, 3000);

    // "time" is always the engine's own clock, whichever colour it plays (Black after e2e4, White
    // after a setboard and "go"): with 50 ms left it moves at once, though the opponent has plenty.
    for (std::string setup :
         {"e2e4", "force\nsetboard rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2\ngo"}) {
        e.write("force\nnew\nlevel 0 10 0\ntime 50\notim 100000\n" + setup + "\n");
        r = untilMove(e);
        EXPECT_LT(r.ms, 700) << setup;
        EXPECT_FALSE(r.move.empty()) << setup;
    }

    // Pondering: the engine ponders on its hint; a hit goes on and plays within the budget, a
    // miss (a different legal reply) is searched afresh, "force" ends it without a move.
    e.write("force\nnew\nhard\nlevel 40 0:20 0\ntime 2000\notim 2000\ne2e4\n");
    r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    ASSERT_FALSE(r.hint.empty());
    EXPECT_TRUE(silent(e, "move "));
    e.send("time 1900");
    e.send(r.hint);
    Reply hit = untilMove(e);
    ASSERT_FALSE(hit.move.empty());
    EXPECT_LT(hit.ms, 6000); // the budget, not an endless ponder search
    ASSERT_FALSE(hit.hint.empty());
    for (const char *reply : {"d2d4", "b1c3", "g1f3", "a2a3", "h2h3"}) {
        if (hit.hint == reply) continue;
        e.send(reply);
        Reply miss = untilMove(e, 8000);
        if (miss.says("Illegal move")) continue;
        EXPECT_FALSE(miss.move.empty()) << reply;
        break;
    }
    e.write("force\nping 4\n");
    for (const auto &l : e.readUntil("pong 4").value_or(Lines{"<timeout>"}))
        EXPECT_FALSE(startsWith(l, "move") || l == "<timeout>") << l;
}

} // namespace

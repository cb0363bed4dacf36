// The xboard protocol through the real binary: handshake, unknown words, force and setboard,
// depth and time limits, the engine's clock in either colour, and pondering with hits and misses.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::startsWith;
using Lines = std::vector<std::string>;

namespace {

// Starts xboard mode without the book (book positions would be answered at once); the features.
Lines start(EngineProcess &e) {
    e.send("setoption name OwnBook value false");
    e.send("xboard");
    e.send("protover 2");
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
    ASSERT_GE(features.size(), 14u);
    std::string tail;
    for (auto it = features.end() - 14; it != features.end(); ++it)
        tail += *it + ";";
    EXPECT_EQ(tail, "feature done=0;feature ping=1;feature setboard=1;feature sigint=0;feature sigterm=0;"
                    "feature analyze=0;feature myname=\"Vorlan 1.8\";feature variants=\"normal\";"
                    "feature colors=0;feature name=0;feature nps=1;feature memory=1;feature smp=1;"
                    "feature egt=\"nalimov\";");
    for (const char *quiet : {"accepted done",  "rejected analyze",
                              "variant normal", "computer",
                              "name x",         "rating 1 2",
                              "ics -",          "memory 64",
                              "cores 2",        "egtpath nalimov /x",
                              "option x=1",     "draw",
                              "result 1-0 {x}", "hard",
                              "easy",           "post",
                              "nopost",         "level 40 5 0",
                              "st 5",           "sd 9",
                              "time 100",       "otim 100",
                              "nps 1000",       "?"})
        e.send(quiet);
    // Unknown lines are named by their first word; e9e4 is no move; "uci" means nothing now.
    for (const char *unknown : {"variant suicide", "  levels 40 5 0", "e9e4", "uci", "frobnicate now"})
        e.send(unknown);
    e.send("ping x");
    EXPECT_EQ(e.readUntil("pong 0"),
              (Lines{"Error (unknown variant): suicide", "Error (unknown command): levels",
                     "Error (unknown command): e9e4", "Error (unknown command): uci",
                     "Error (unknown command): frobnicate"}));

    // Moves under force, then "go" plays the side to move (White) and "?" moves now.
    for (const char *line : {"new", "force", "e2e4", "e7e5", "st 30", "go"})
        e.send(line);
    EXPECT_TRUE(silent(e, "move "));
    e.send("?");
    Reply r = untilMove(e, 5000);
    ASSERT_FALSE(r.move.empty());
    EXPECT_TRUE(r.move[1] == '1' || r.move[1] == '2') << r.move; // a White piece moved
    // A bad FEN is answered and leaves a playable position.
    for (const char *line : {"force", "setboard this is no fen", "sd 2", "go"})
        e.send(line);
    r = untilMove(e);
    EXPECT_TRUE(r.says("Invalid Fen"));
    EXPECT_FALSE(r.move.empty());
    // The opponent's illegal move is answered and nothing is played for it.
    e.send("new");
    e.send("e2e5");
    e.send("ping 3");
    Lines lines = e.readUntil("pong 3").value_or(Lines{});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("Invalid Move"), std::string::npos);
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

TEST(Xboard, LimitsClocksAndPondering) {
    EngineProcess e;
    start(e);
    for (const char *line : {"new", "post", "sd 3", "e2e4"})
        e.send(line);
    Reply r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    EXPECT_LE(maxDepth(r), 3);
    e.send(r.move == "e7e5" ? "g1f3" : "d2d4"); // the depth limit outlives the move
    r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    EXPECT_LE(maxDepth(r), 3);
    // After "new": clock play again, minutes:seconds; then a one-second move time.
    for (const char *line : {"new", "level 0 0:02 0", "time 200", "otim 200", "e2e4"})
        e.send(line);
    r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    EXPECT_LT(r.ms, 1000);
    EXPECT_GT(maxDepth(r), 3);
    e.send("st 1");
    e.send(r.move == "e7e5" ? "g1f3" : "d2d4");
    r = untilMove(e);
    EXPECT_GE(r.ms, 700);
    EXPECT_LT(r.ms, 3000);

    // "time" is always the engine's own clock, whichever colour it plays: Black after e2e4,
    // White after a setboard and "go".
    const std::string whiteToMove = "setboard rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2";
    for (const std::string &setup : {std::string("e2e4"), whiteToMove}) {
        for (bool quick : {true, false}) {
            for (const char *line : {"force", "new", "level 0 10 0", quick ? "time 50" : "time 100000",
                                     quick ? "otim 100000" : "otim 50"})
                e.send(line);
            if (setup == whiteToMove) {
                e.send("force");
                e.send(setup);
                e.send("go");
            } else {
                e.send(setup);
            }
            // With plenty of time the engine thinks past a second; stop it there.
            r = untilMove(e, quick ? 20000 : 1000);
            if (quick) {
                EXPECT_LT(r.ms, 700) << setup;
            } else {
                EXPECT_TRUE(r.move.empty()) << setup;
                e.send("?");
                r = untilMove(e);
            }
            EXPECT_FALSE(r.move.empty()) << setup;
        }
    }

    // Pondering: the engine ponders on its hint; a hit goes on and plays within the budget, a
    // miss (a different legal reply) is searched afresh, "force" ends it without a move.
    e.send("force");
    for (const char *line : {"new", "hard", "level 40 0:20 0", "time 2000", "otim 2000", "e2e4"})
        e.send(line);
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
        if (miss.says("Invalid Move")) continue;
        EXPECT_FALSE(miss.move.empty()) << reply;
        break;
    }
    e.send("force");
    e.send("ping 4");
    for (const auto &l : e.readUntil("pong 4").value_or(Lines{"<timeout>"}))
        EXPECT_FALSE(startsWith(l, "move") || l == "<timeout>") << l;
}

} // namespace

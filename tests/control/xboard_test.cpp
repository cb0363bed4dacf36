// The xboard protocol through the real binary: handshake, time controls, force and setboard,
// pondering with hits and misses, and the clocks.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using testsupport::EngineProcess;

namespace {

bool startsWith(const std::string &s, const std::string &prefix) { return s.rfind(prefix, 0) == 0; }

void start(EngineProcess &e, const std::vector<std::string> &setup = {}) {
    ASSERT_TRUE(e.started());
    e.send("xboard");
    e.send("protover 2");
    ASSERT_TRUE(e.readUntil("feature done=1"));
    for (const auto &line : setup)
        e.send(line);
    e.send("ping 1");
    ASSERT_TRUE(e.readUntil("pong 1"));
}

// Lines up to the engine's "move" line (and the "Hint:" line after it, when there is one).
struct Reply {
    std::vector<std::string> lines;
    std::string move; // empty when none came
    std::string hint;
    long ms = 0;
};

Reply untilMove(EngineProcess &e, int timeoutMs = 20000) {
    Reply r;
    auto t0 = std::chrono::steady_clock::now();
    while (auto line = e.readLine(timeoutMs)) {
        r.lines.push_back(*line);
        if (startsWith(*line, "move ")) {
            r.move = line->substr(5);
            break;
        }
    }
    r.ms = long(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count());
    e.send("ping 99"); // the Hint line, if any, comes before the answer
    if (auto rest = e.readUntil("pong 99"))
        for (const auto &l : *rest)
            if (startsWith(l, "Hint: ")) r.hint = l.substr(6);
    return r;
}

// Depth of a thinking line ("%2u %5d %7u %8u pv").
int depthOf(const std::string &line) { return std::atoi(line.c_str()); }

void expectMaxDepth(const Reply &r, int depth) {
    for (const auto &l : r.lines) {
        if (startsWith(l, "move")) continue;
        EXPECT_LE(depthOf(l), depth) << l;
    }
}

TEST(Xboard, HandshakeAndSmallCommands) {
    EngineProcess e;
    ASSERT_TRUE(e.started());
    e.send("xboard");
    e.send("protover 2");
    auto features = e.readUntil("feature done=1");
    ASSERT_TRUE(features);
    std::vector<std::string> tail(features->end() - 14, features->end());
    const std::vector<std::string> expected = {"feature done=0",
                                               "feature ping=1",
                                               "feature setboard=1",
                                               "feature sigint=0",
                                               "feature sigterm=0",
                                               "feature analyze=0",
                                               "feature myname=\"Vorlan 1.8\"",
                                               "feature variants=\"normal\"",
                                               "feature colors=0",
                                               "feature name=0",
                                               "feature nps=1",
                                               "feature memory=1",
                                               "feature smp=1",
                                               "feature egt=\"nalimov\""};
    EXPECT_EQ(tail, expected);
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
    auto lines = e.readUntil("pong 0");
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines,
              (std::vector<std::string>{"Error (unknown variant): suicide", "Error (unknown command): levels",
                                        "Error (unknown command): e9e4", "Error (unknown command): uci",
                                        "Error (unknown command): frobnicate"}));
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

TEST(Xboard, DepthAndTimeLimitsHoldUntilNew) {
    EngineProcess e;
    e.send("setoption name OwnBook value false"); // book positions would be answered at once
    start(e, {"new", "post", "sd 3"});
    e.send("e2e4");
    Reply r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    expectMaxDepth(r, 3);
    e.send(r.move == "e7e5" ? "g1f3" : "d2d4"); // the depth limit outlives the move
    r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    expectMaxDepth(r, 3);
    // After "new": clock play again; minutes:seconds, then a one-second move time.
    e.send("new");
    e.send("level 0 0:02 0");
    e.send("time 200");
    e.send("otim 200");
    e.send("e2e4");
    r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    EXPECT_LT(r.ms, 1000);
    EXPECT_GT(depthOf(r.lines[r.lines.size() - 2]), 3);
    e.send("st 1");
    e.send(r.move == "e7e5" ? "g1f3" : "d2d4");
    r = untilMove(e);
    EXPECT_GE(r.ms, 700);
    EXPECT_LT(r.ms, 3000);
}

TEST(Xboard, ForceMovesThenGoPlaysTheOtherColourAndQuestionMarkStops) {
    EngineProcess e;
    e.send("setoption name OwnBook value false"); // book positions would be answered at once
    start(e, {"new", "force", "e2e4", "e7e5", "st 30"});
    e.send("go"); // the engine now plays White
    EXPECT_FALSE(e.readUntil("move", 300));
    e.send("?");
    Reply r = untilMove(e, 5000);
    ASSERT_FALSE(r.move.empty());
    EXPECT_TRUE(r.move[1] == '1' || r.move[1] == '2') << r.move; // a White piece moved
    // A bad FEN is answered and leaves a playable position.
    e.send("force");
    e.send("setboard this is no fen");
    e.send("sd 2");
    e.send("go");
    r = untilMove(e);
    bool answered = false;
    for (const auto &l : r.lines)
        answered |= l.find("Invalid Fen") != std::string::npos;
    EXPECT_TRUE(answered);
    EXPECT_FALSE(r.move.empty());
    // The opponent's illegal move is answered and nothing is played for it.
    e.send("new");
    e.send("e2e5");
    e.send("ping 3");
    auto lines = e.readUntil("pong 3");
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 1u);
    EXPECT_NE(lines->front().find("Illegal move"), std::string::npos);
}

TEST(Xboard, PonderHitAndMiss) {
    EngineProcess e;
    start(e, {"new", "hard", "level 40 0:20 0", "time 2000", "otim 2000"});
    e.send("e2e4");
    Reply r = untilMove(e);
    ASSERT_FALSE(r.move.empty());
    ASSERT_FALSE(r.hint.empty()); // it now ponders on the hinted reply
    EXPECT_FALSE(e.readUntil("move", 300));
    e.send("time 1900");
    e.send(r.hint); // a hit: the ponder search goes on and plays
    Reply hit = untilMove(e);
    ASSERT_FALSE(hit.move.empty());
    EXPECT_LT(hit.ms, 6000); // the budget, not an endless ponder search
    ASSERT_FALSE(hit.hint.empty());
    // A miss: a different legal reply is searched afresh. Pick one by trying the hinted move's
    // alternatives until the engine accepts one.
    for (const char *reply : {"d2d4", "b1c3", "g1f3", "a2a3", "h2h3"}) {
        if (hit.hint == reply) continue;
        e.send(reply);
        Reply miss = untilMove(e, 8000);
        bool invalid = false;
        for (const auto &l : miss.lines)
            invalid |= l.find("Illegal move") != std::string::npos;
        if (invalid) continue;
        EXPECT_FALSE(miss.move.empty()) << reply;
        break;
    }
    e.send("force"); // ends the ponder search without a move
    e.send("ping 4");
    auto lines = e.readUntil("pong 4");
    ASSERT_TRUE(lines);
    for (const auto &l : *lines)
        EXPECT_FALSE(startsWith(l, "move")) << l;
}

// "time" is always the engine's own clock, whichever colour it plays.
TEST(Xboard, TimeIsTheEnginesClockInEitherColour) {
    EngineProcess e;
    e.send("setoption name OwnBook value false"); // book positions would be answered at once
    start(e, {"new", "level 0 10 0"});
    struct Case {
        const char *setup, *time, *otim;
        bool quick;
    } cases[] = {
        {"e2e4", "time 50", "otim 100000", true},  // Black, little time
        {"e2e4", "time 100000", "otim 50", false}, // Black, plenty
        {"setboard rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "time 50", "otim 100000",
         true},
        {"setboard rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "time 100000", "otim 50",
         false},
    };
    for (const Case &c : cases) {
        e.send("force");
        e.send("new");
        e.send("level 0 10 0");
        e.send(c.time);
        e.send(c.otim);
        bool setboard = startsWith(c.setup, "setboard");
        if (setboard) {
            e.send("force");
            e.send(c.setup);
            e.send("go");
        } else {
            e.send(c.setup);
        }
        // With plenty of time the engine thinks past a second; stop it there.
        Reply r = untilMove(e, c.quick ? 20000 : 1000);
        if (!c.quick) {
            EXPECT_TRUE(r.move.empty()) << c.setup << " " << c.time;
            e.send("?");
            r = untilMove(e);
        } else {
            EXPECT_LT(r.ms, 700) << c.setup << " " << c.time;
        }
        EXPECT_FALSE(r.move.empty()) << c.setup;
    }
}

} // namespace

// UCI play through the real binary: every "go" limit, stopping, pondering, re-queueing and a
// complete timed game.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using testsupport::EngineProcess;

namespace {

bool startsWith(const std::string &s, const std::string &prefix) { return s.rfind(prefix, 0) == 0; }

// Starts the engine in UCI mode, with any extra set-up lines, and waits until it is ready.
void handshake(EngineProcess &e, const std::vector<std::string> &setup = {}) {
    ASSERT_TRUE(e.started());
    e.send("uci");
    ASSERT_TRUE(e.readUntil("uciok"));
    for (const auto &line : setup)
        e.send(line);
    e.send("isready");
    ASSERT_TRUE(e.readUntil("readyok"));
}

// Reads up to the "bestmove" line and returns all lines read, that line last.
std::vector<std::string> untilBestMove(EngineProcess &e, int timeoutMs = 20000) {
    std::vector<std::string> lines;
    while (auto line = e.readLine(timeoutMs)) {
        lines.push_back(*line);
        if (startsWith(*line, "bestmove")) break;
    }
    return lines;
}

std::vector<std::string> infoLines(const std::vector<std::string> &lines) {
    std::vector<std::string> out;
    for (const auto &l : lines)
        if (startsWith(l, "info multipv")) out.push_back(l);
    return out;
}

TEST(UciPlay, DepthNodesAndMoveTimeLimitsEndTheSearch) {
    EngineProcess e;
    handshake(e);
    e.send("position startpos moves e2e4 e7e5");
    e.send("go depth 5");
    auto lines = untilBestMove(e);
    ASSERT_FALSE(lines.empty());
    ASSERT_TRUE(startsWith(lines.back(), "bestmove "));
    auto info = infoLines(lines);
    ASSERT_FALSE(info.empty());
    EXPECT_NE(info.back().find("info multipv 1 depth 5 score cp "), std::string::npos) << info.back();
    EXPECT_NE(info.back().find(" nodes "), std::string::npos);
    EXPECT_NE(info.back().find(" pv "), std::string::npos);

    e.send("go nodes 3000");
    lines = untilBestMove(e);
    ASSERT_TRUE(startsWith(lines.back(), "bestmove "));

    auto t0 = std::chrono::steady_clock::now();
    e.send("go movetime 300");
    lines = untilBestMove(e);
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    ASSERT_TRUE(startsWith(lines.back(), "bestmove "));
    EXPECT_GE(ms, 200);
    EXPECT_LT(ms, 3000);
}

TEST(UciPlay, InfiniteSearchesStopOnStopIsreadyAndQuit) {
    EngineProcess e;
    handshake(e, {"setoption name OwnBook value false"}); // a timed go would play the book move at once
    for (const char *go : {"go", "go infinite", "go mate 3", "go wtime 60000 btime 60000 searchmoves e2e4"}) {
        e.send("position startpos");
        e.send(go);
        EXPECT_FALSE(e.readUntil("bestmove", 300)) << go; // nothing ends it by itself
        e.send("stop");
        auto lines = untilBestMove(e);
        ASSERT_FALSE(lines.empty()) << go;
        ASSERT_TRUE(startsWith(lines.back(), "bestmove ")) << go;
        if (std::string(go).find("searchmoves") != std::string::npos) {
            EXPECT_TRUE(startsWith(lines.back(), "bestmove e2e4"));
        }
    }
    // "isready" stops the search: readyok first, then the move.
    e.send("go infinite");
    e.send("isready");
    auto lines = untilBestMove(e);
    ASSERT_FALSE(lines.empty());
    auto ready = std::find(lines.begin(), lines.end(), "readyok");
    EXPECT_NE(ready, lines.end());
    EXPECT_TRUE(startsWith(lines.back(), "bestmove "));
    // "quit" during a search ends the program at once, without a move.
    e.send("go infinite");
    e.send("quit");
    for (const auto &l : e.readToEnd())
        EXPECT_FALSE(startsWith(l, "bestmove")) << l;
    EXPECT_EQ(e.waitExit(), 0);
}

TEST(UciPlay, SearchmovesRestrictTheRoot) {
    EngineProcess e;
    handshake(e);
    e.send("position startpos");
    e.send("go depth 4 searchmoves a2a3 h2h4");
    auto lines = untilBestMove(e);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back() == "bestmove a2a3" || startsWith(lines.back(), "bestmove a2a3 ") ||
                startsWith(lines.back(), "bestmove h2h4"))
        << lines.back();
    e.send("stop");
    // Only illegal moves: nothing to search, the search ends by itself with the first legal move.
    e.send("setoption name Max depth value 5");
    e.send("go searchmoves e2e5 a1a8");
    lines = untilBestMove(e);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(startsWith(lines.back(), "bestmove ")) << lines.back();
}

TEST(UciPlay, PonderThenPonderhitPlaysWithinTheBudget) {
    EngineProcess e;
    handshake(e);
    e.send("position startpos moves e2e4");
    e.send("go ponder wtime 2000 btime 2000");
    EXPECT_FALSE(e.readUntil("bestmove", 300));
    e.send("ponderhit");
    auto lines = untilBestMove(e, 5000);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(startsWith(lines.back(), "bestmove "));
}

TEST(UciPlay, CommandsDuringASearchAreRequeued) {
    EngineProcess e;
    handshake(e);
    e.send("go infinite");
    // A position command stops the search, runs afterwards, and the go after it searches the new one.
    e.write("position fen 7k/6pp/8/8/8/8/8/R6K w - - 0 1\ngo depth 3\n");
    auto first = untilBestMove(e);
    ASSERT_FALSE(first.empty());
    auto second = untilBestMove(e);
    ASSERT_FALSE(second.empty());
    EXPECT_TRUE(startsWith(second.back(), "bestmove ")) << second.back();
    auto info = infoLines(second);
    ASSERT_FALSE(info.empty());
    EXPECT_NE(info.back().find("score mate 1"), std::string::npos) << info.back();
    EXPECT_TRUE(startsWith(second.back(), "bestmove a1a8")) << second.back();
}

TEST(UciPlay, ScoresRootsWithoutMovesAndInstantReplies) {
    EngineProcess e;
    handshake(e);
    // Mate in one for White, mated in one for Black.
    e.send("position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
    e.send("go depth 4");
    auto info = infoLines(untilBestMove(e));
    ASSERT_FALSE(info.empty());
    EXPECT_NE(info.back().find("score mate 1 "), std::string::npos) << info.back();
    e.send("position fen 3R2k1/5ppp/8/8/8/8/5PPP/6K1 b - - 0 1");
    e.send("isready");
    ASSERT_TRUE(e.readUntil("readyok"));
    // Checkmated and stalemated roots answer with the null move and nothing else.
    for (const char *fen : {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "7k/8/6QK/8/8/8/8/8 b - - 0 1"}) {
        e.send(std::string("position fen ") + fen);
        e.send("go depth 3");
        e.send("isready");
        auto lines = e.readUntil("readyok");
        ASSERT_TRUE(lines) << fen;
        EXPECT_EQ(*lines, std::vector<std::string>{"bestmove 0000"}) << fen;
    }
    // A single legal move (Kxb2) in a timed game is played at once without an info line.
    e.send("position fen 7k/8/8/8/8/8/1r6/K7 w - - 0 1");
    e.send("go wtime 60000 btime 60000");
    auto lines = untilBestMove(e, 10000);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(startsWith(lines[0], "bestmove a1b2")) << lines[0];
}

// What a client that keeps the last line of each rank shows: N different first moves, best
// first, after a completed search and after a stopped one.
TEST(UciPlay, MultiPvLeavesACompleteResultSet) {
    EngineProcess e;
    // Without the book: in a book position the root searches only the chosen book move.
    handshake(e, {"setoption name MultiPV value 3", "setoption name OwnBook value false"});
    e.send("position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5");
    for (const char *go : {"go depth 7", "go infinite"}) {
        e.send(go);
        if (std::string(go) == "go infinite") {
            EXPECT_FALSE(e.readUntil("bestmove", 400));
            e.send("stop");
        }
        auto info = infoLines(untilBestMove(e));
        std::string shown[4];
        for (const auto &l : info) {
            int k = l[13] - '0';
            ASSERT_TRUE(k >= 1 && k <= 3) << l;
            shown[k] = l;
        }
        auto firstMove = [](const std::string &l) { return l.substr(l.find(" pv ") + 4, 4); };
        auto score = [](const std::string &l) { return std::stoi(l.substr(l.find(" cp ") + 4)); };
        EXPECT_NE(firstMove(shown[1]), firstMove(shown[2])) << go;
        EXPECT_NE(firstMove(shown[1]), firstMove(shown[3])) << go;
        EXPECT_NE(firstMove(shown[2]), firstMove(shown[3])) << go;
        EXPECT_GE(score(shown[1]), score(shown[2])) << go;
        EXPECT_GE(score(shown[2]), score(shown[3])) << go;
        ASSERT_GE(info.size(), 3u);
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(info[info.size() - 4 + k], shown[k]) << go; // the set comes last
    }
}

// The budget uses the clock of the side to move in the position searched, whatever the
// previous search was.
TEST(UciPlay, BudgetUsesTheClockOfTheSideToMove) {
    EngineProcess e;
    handshake(e);
    e.send("position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 2 3");
    e.send("go depth 4");
    ASSERT_FALSE(untilBestMove(e).empty());
    e.send("position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    auto t0 = std::chrono::steady_clock::now();
    e.send("go wtime 1000 btime 100000");
    ASSERT_FALSE(untilBestMove(e).empty());
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(ms, 700); // a 24th of White's second; Black's clock would allow four seconds
}

// A whole game against itself at 10 s + 0.1 s: every move legal and no clock ever runs out.
TEST(UciPlay, TimedGameStaysOnTheClock) {
    EngineProcess e;
    handshake(e);
    std::string moves;
    long clock[2] = {10000, 10000};
    const long increment = 100;
    int plies = 0;
    for (; plies < 80; ++plies) {
        int side = plies % 2;
        e.send("position startpos" + (moves.empty() ? std::string() : " moves" + moves));
        auto t0 = std::chrono::steady_clock::now();
        e.send("go wtime " + std::to_string(clock[0]) + " btime " + std::to_string(clock[1]) +
               " winc 100 binc 100");
        auto lines = untilBestMove(e, int(clock[side]) + 1000);
        long used =
            long(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
                     .count());
        if (lines.empty()) break; // mate or stalemate: a root without moves prints nothing
        ASSERT_TRUE(startsWith(lines.back(), "bestmove ")) << lines.back();
        for (const auto &l : lines)
            ASSERT_EQ(l.find("Invalid"), std::string::npos) << l;
        clock[side] -= used;
        ASSERT_GT(clock[side], 0) << "lost on time at ply " << plies;
        clock[side] += increment;
        std::string move = lines.back().substr(9, lines.back().find(' ', 9) - 9);
        if (move == "0000" || move.empty()) break;
        moves += " " + move;
        // The engine rejects an illegal move in a position command with an info string line.
        e.send("position startpos moves" + moves);
        e.send("isready");
        auto check = e.readUntil("readyok");
        ASSERT_TRUE(check);
        for (const auto &l : *check)
            ASSERT_EQ(l.find("Invalid Move"), std::string::npos) << l;
    }
    EXPECT_GE(plies, 40); // the game may end early only by mate or stalemate
}

} // namespace

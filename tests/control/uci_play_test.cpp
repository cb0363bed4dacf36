// UCI play through the real binary: every "go" limit, stopping, pondering, re-queueing, special
// roots, MultiPV and a complete timed game.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::startsWith;
using Lines = std::vector<std::string>;

namespace {

long msSince(std::chrono::steady_clock::time_point t0) {
    return long(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count());
}

// True when no "bestmove" comes within `ms`.
bool silent(EngineProcess &e, int ms = 300) { return e.readThrough("bestmove", ms).back() == "<timeout>"; }

Lines infoLines(const Lines &lines) {
    Lines out;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(out),
                 [](const std::string &l) { return startsWith(l, "info multipv"); });
    return out;
}

std::string lastInfo(const Lines &lines) {
    Lines info = infoLines(lines);
    return info.empty() ? "<no info line>" : info.back();
}

// Searches that end by themselves: depth, nodes, move time, searchmoves, the clock of the side to
// move, mate scores, roots without moves, a single reply, and MultiPV.
TEST(UciPlay, SearchesThatEndByThemselves) {
    EngineProcess e;
    // Without the book: a timed go in a book position would play the book move at once, and
    // MultiPV in a book position searches only the chosen book move.
    ASSERT_TRUE(e.uciHandshake({"setoption name OwnBook value false"}));
    e.write("position startpos moves e2e4 e7e5\ngo depth 5\n");
    EXPECT_TRUE(std::regex_search(lastInfo(e.readThrough("bestmove ")),
                                  std::regex("^info multipv 1 depth 5 score cp -?\\d+ .*nodes \\d+ .*pv ")));
    e.send("go nodes 3000");
    EXPECT_TRUE(startsWith(e.readThrough("bestmove").back(), "bestmove "));
    auto t0 = std::chrono::steady_clock::now();
    e.send("go movetime 300");
    EXPECT_TRUE(startsWith(e.readThrough("bestmove").back(), "bestmove "));
    EXPECT_GE(msSince(t0), 200);
    EXPECT_LT(msSince(t0), 3000);

    e.write("position startpos\ngo depth 4 searchmoves a2a3 h2h4\n");
    std::string best = e.readThrough("bestmove").back();
    EXPECT_TRUE(startsWith(best, "bestmove a2a3") || startsWith(best, "bestmove h2h4")) << best;
    // Only illegal moves: nothing to search, the search ends by itself with the first legal move.
    e.write("setoption name Max depth value 5\ngo searchmoves e2e5 a1a8\n");
    EXPECT_TRUE(startsWith(e.readThrough("bestmove").back(), "bestmove "));
    e.send("setoption name Max depth value 100");

    // The budget uses the clock of the side to move in the position searched, whatever the
    // previous search was: a 24th of White's second; Black's clock would allow four seconds.
    e.write("position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 2 3\ngo depth 4\n");
    e.readThrough("bestmove");
    e.send("position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    t0 = std::chrono::steady_clock::now();
    e.send("go wtime 1000 btime 100000");
    EXPECT_TRUE(startsWith(e.readThrough("bestmove").back(), "bestmove "));
    EXPECT_LT(msSince(t0), 700);

    e.write("position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\ngo depth 4\n");
    EXPECT_NE(lastInfo(e.readThrough("bestmove")).find("score mate 1 "), std::string::npos);
    // Checkmated and stalemated roots answer with the null move and nothing else.
    for (const char *fen : {"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "7k/8/6QK/8/8/8/8/8 b - - 0 1"}) {
        e.send(std::string("position fen ") + fen);
        e.write("go depth 3\nisready\n");
        EXPECT_EQ(e.readUntil("readyok"), Lines{"bestmove 0000"}) << fen;
    }
    // A single legal move (Kxb2) in a timed game is played at once without an info line.
    e.write("position fen 7k/8/8/8/8/8/1r6/K7 w - - 0 1\ngo wtime 60000 btime 60000\n");
    Lines lines = e.readThrough("bestmove", 10000);
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_TRUE(startsWith(lines.back(), "bestmove a1b2")) << lines.back();

    // MultiPV: what a client that keeps the last line of each rank shows is N different first
    // moves, best first, after a completed search and after a stopped one.
    e.write("setoption name MultiPV value 3\nposition startpos moves e2e4 e7e5 g1f3 b8c6 f1b5\n");
    for (const char *go : {"go depth 7", "go infinite"}) {
        e.send(go);
        if (std::string(go) == "go infinite") {
            EXPECT_TRUE(silent(e, 400));
            e.send("stop");
        }
        Lines info = infoLines(e.readThrough("bestmove"));
        ASSERT_GE(info.size(), 3u);
        std::string shown[4];
        for (const auto &l : info) {
            int k = l[13] - '0';
            ASSERT_TRUE(k >= 1 && k <= 3) << l;
            shown[k] = l;
        }
        auto firstMove = [&](int k) { return shown[k].substr(shown[k].find(" pv ") + 4, 4); };
        auto score = [&](int k) { return std::stoi(shown[k].substr(shown[k].find(" cp ") + 4)); };
        EXPECT_NE(firstMove(1), firstMove(2)) << go;
        EXPECT_NE(firstMove(1), firstMove(3)) << go;
        EXPECT_NE(firstMove(2), firstMove(3)) << go;
        EXPECT_GE(score(1), score(2)) << go;
        EXPECT_GE(score(2), score(3)) << go;
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(info[info.size() - 4 + k], shown[k]) << go; // the set comes last
    }
}

// Searches ended from outside: "stop", "isready", "ponderhit", a position command (which runs
// once the search has stopped) and "quit".
TEST(UciPlay, StopPonderhitRequeueAndQuit) {
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake({"setoption name OwnBook value false"}));
    for (const char *go : {"go", "go infinite", "go mate 3", "go wtime 60000 btime 60000 searchmoves e2e4"}) {
        e.send("position startpos");
        e.send(go);
        EXPECT_TRUE(silent(e)) << go; // nothing ends it by itself
        e.send("stop");
        std::string best = e.readThrough("bestmove").back();
        bool restricted = std::string(go).find("e2e4") != std::string::npos;
        EXPECT_TRUE(startsWith(best, restricted ? "bestmove e2e4" : "bestmove ")) << go << ": " << best;
    }
    // "isready" stops the search: readyok first, then the move.
    e.write("go infinite\nisready\n");
    Lines lines = e.readThrough("bestmove");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "readyok"), lines.end());
    EXPECT_TRUE(startsWith(lines.back(), "bestmove "));

    // A ponder search keeps its move until ponderhit, also when it ends by itself: at the depth
    // ceiling, or being mated (Ka8 has only Kb8, then Rh8 mates).
    for (const char *setup :
         {"setoption name Max depth value 100\nposition startpos moves e2e4",
          "setoption name Max depth value 2\nposition startpos moves e2e4",
          "setoption name Max depth value 100\nposition fen k7/8/1K6/8/8/8/8/7R b - - 0 1"}) {
        e.write(std::string(setup) + "\ngo ponder wtime 2000 btime 2000\n");
        EXPECT_TRUE(silent(e, 500)) << setup;
        e.send("ponderhit");
        EXPECT_TRUE(startsWith(e.readThrough("bestmove", 5000).back(), "bestmove ")) << setup;
    }

    e.send("go infinite");
    e.write("position fen 7k/6pp/8/8/8/8/8/R6K w - - 0 1\ngo depth 3\n");
    e.readThrough("bestmove");
    Lines second = e.readThrough("bestmove");
    EXPECT_NE(lastInfo(second).find("score mate 1"), std::string::npos) << lastInfo(second);
    EXPECT_TRUE(startsWith(second.back(), "bestmove a1a8")) << second.back();

    // "quit" during a search ends the program at once, without a move.
    e.write("position startpos\ngo infinite\nquit\n");
    for (const auto &l : e.readToEnd())
        EXPECT_FALSE(startsWith(l, "bestmove")) << l;
    EXPECT_EQ(e.waitExit(), 0);
}

// A whole game against itself at 10 s + 0.1 s: every move legal and no clock ever runs out.
// During a search, option changes that alter what the search reads wait for its end, and
// "ucinewgame" stops it and runs once the move has been reported.
TEST(UciPlay, CommandsDuringASearchWaitForItsEnd) {
    EngineProcess e;
    testsupport::TempDirectory tables;
    ASSERT_TRUE(e.uciHandshake({"setoption name OwnBook value false"}));
    e.write("position fen r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3\ngo infinite\n");
    for (const std::string &change :
         Lines{"Hash value 1", "Clear Hash", "Queen value 1500", "MultiPV value 3", "Contempt value 40",
               "Nullmove value false", "NalimovPath value " + tables.path()})
        e.send("setoption name " + change);
    Lines searched = e.readThrough("bestmove", 500);
    EXPECT_EQ(searched.back(), "<timeout>"); // the search runs on
    e.send("stop");
    for (const std::string &line : e.readThrough("bestmove"))
        searched.push_back(line);
    EXPECT_TRUE(startsWith(searched.back(), "bestmove ")) << searched.back();
    for (const std::string &line : infoLines(searched))
        EXPECT_TRUE(startsWith(line, "info multipv 1 ")) << line;
    e.send("go depth 3");
    Lines next = infoLines(e.readThrough("bestmove"));
    EXPECT_TRUE(std::any_of(next.begin(), next.end(),
                            [](const std::string &l) { return startsWith(l, "info multipv 3 "); }));

    e.write("go infinite\nucinewgame\nisready\n");
    Lines lines = e.readUntil("readyok").value_or(Lines{"<timeout>"});
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string &l) { return startsWith(l, "bestmove "); }));
    e.write("position startpos moves e2e4\ngo depth 3\n");
    EXPECT_TRUE(startsWith(e.readThrough("bestmove").back(), "bestmove "));
}

TEST(UciPlay, TimedGameStaysOnTheClock) {
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake());
    std::string moves;
    long clock[2] = {10000, 10000};
    int plies = 0;
    for (; plies < 80; ++plies) {
        int side = plies % 2;
        e.send("position startpos" + (moves.empty() ? std::string() : " moves" + moves));
        auto t0 = std::chrono::steady_clock::now();
        e.send("go wtime " + std::to_string(clock[0]) + " btime " + std::to_string(clock[1]) +
               " winc 100 binc 100");
        std::string best = e.readThrough("bestmove", int(clock[side]) + 1000).back();
        long used = msSince(t0);
        if (best == "<timeout>") break; // mate or stalemate: a root without moves prints nothing
        clock[side] -= used;
        ASSERT_GT(clock[side], 0) << "lost on time at ply " << plies;
        clock[side] += 100;
        std::string move = best.substr(9, best.find(' ', 9) - 9);
        if (move == "0000" || move.empty()) break;
        moves += " " + move;
        // The engine rejects an illegal move in a position command with an info string line.
        e.send("position startpos moves" + moves);
        e.send("isready");
        EXPECT_EQ(e.readUntil("readyok"), Lines{}) << "after" << moves;
    }
    EXPECT_GE(plies, 40); // the game may end early only by mate or stalemate
}

} // namespace

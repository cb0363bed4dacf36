// Searches with helper threads through the real binary: limits that count every thread, MultiPV
// and searchmoves, stopping, pondering, option changes, a new game and quitting while helpers
// run, and the xboard "cores" command. CI runs these under ThreadSanitizer as well.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::startsWith;
using Lines = std::vector<std::string>;

namespace {

const std::string MIDDLEGAME = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8";

std::string lastInfo(const Lines &lines, const std::string &prefix = "info multipv 1 ") {
    std::string last = "<none>";
    for (const std::string &l : lines)
        if (startsWith(l, prefix)) last = l;
    return last;
}

long long field(const std::string &line, const std::string &name) {
    std::size_t at = line.find(" " + name + " ");
    return at == std::string::npos ? -1 : std::stoll(line.substr(at + name.size() + 2));
}

bool hasLine(const Lines &lines, const std::string &prefix) {
    for (const std::string &l : lines)
        if (startsWith(l, prefix)) return true;
    return false;
}

} // namespace

class Threads : public testing::TestWithParam<int> {};

TEST_P(Threads, SearchesStopAndReportWithHelpersRunning) {
    const std::string threads = std::to_string(GetParam());
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake({"setoption name OwnBook value false", "setoption name Hash value 8",
                                "setoption name Threads value " + threads}));
    e.send("position fen " + MIDDLEGAME);
    e.send("go depth 6");
    Lines lines = e.readThrough("bestmove", 60000);
    ASSERT_TRUE(startsWith(lines.back(), "bestmove ")) << lines.back();
    EXPECT_EQ(field(lastInfo(lines), "depth"), 6);

    // Every thread's nodes count against the limit; helpers stop within a few nodes of it.
    e.send("go nodes 30000");
    lines = e.readThrough("bestmove", 60000);
    long long nodes = field(lastInfo(lines), "nodes");
    EXPECT_GE(nodes, 30000);
    EXPECT_LE(nodes, 30000 + 2000 * GetParam()) << lastInfo(lines);

    e.write("setoption name MultiPV value 3\ngo depth 4 searchmoves e3e4 c4d5 a2a3 h2h3\n");
    lines = e.readThrough("bestmove", 60000);
    EXPECT_TRUE(hasLine(lines, "info multipv 3 depth 4 ")) << lastInfo(lines, "info multipv 3");
    for (const std::string &l : lines)
        if (startsWith(l, "info multipv")) {
            std::string pv = l.substr(l.find(" pv ") + 4, 4);
            EXPECT_TRUE(pv == "e3e4" || pv == "c4d5" || pv == "a2a3" || pv == "h2h3") << l;
        }
    e.send("setoption name MultiPV value 1");

    // Stop, ponderhit, and option changes that wait for the end of the search.
    e.write("go infinite\n");
    EXPECT_EQ(e.readThrough("bestmove", 300).back(), "<timeout>");
    e.write("setoption name Threads value 1\nsetoption name Hash value 4\nsetoption name Clear Hash\n");
    e.write("setoption name Threads value " + threads + "\nstop\n");
    EXPECT_TRUE(startsWith(e.readThrough("bestmove", 60000).back(), "bestmove "));
    e.write("position fen " + MIDDLEGAME + " moves e3e4\ngo ponder wtime 3000 btime 3000\n");
    EXPECT_EQ(e.readThrough("bestmove", 300).back(), "<timeout>");
    e.send("ponderhit");
    EXPECT_TRUE(startsWith(e.readThrough("bestmove", 60000).back(), "bestmove "));
    e.write("go infinite\nucinewgame\nisready\n");
    lines = e.readUntil("readyok", 60000).value_or(Lines{"<timeout>"});
    EXPECT_TRUE(hasLine(lines, "bestmove ")); // the new game stopped the search first

    // Quit while the helpers search: the program ends at once, without a move.
    e.write("position startpos\ngo infinite\n");
    EXPECT_EQ(e.readThrough("bestmove", 300).back(), "<timeout>");
    e.send("quit");
    for (const std::string &l : e.readToEnd(60000))
        EXPECT_FALSE(startsWith(l, "bestmove")) << l;
    EXPECT_EQ(e.waitExit(60000), 0);
}

INSTANTIATE_TEST_SUITE_P(Counts, Threads, testing::Values(2, 4, 8));

TEST(ThreadsOption, RangeAndXboardCores) {
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake());
    e.write("setoption name Threads value 513\nsetoption name Threads value 0\nisready\n");
    Lines lines = e.readUntil("readyok").value_or(Lines{"<timeout>"});
    EXPECT_EQ(lines, Lines(2, "info string ERROR: Value Out of Bound!"));
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);

    // xboard sets the threads with "cores", then thinks and moves.
    EngineProcess x;
    x.write("xboard\nprotover 2\neasy\ncores 3\nsd 5\nsetboard " + MIDDLEGAME + "\ngo\n");
    Lines moved = x.readThrough("move ", 60000);
    EXPECT_TRUE(startsWith(moved.back(), "move ")) << moved.back();
    x.send("quit");
    EXPECT_EQ(x.waitExit(), 0);
}

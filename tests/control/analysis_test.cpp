// The console's development commands through the real binary: bench and analyze.
#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::startsWith;
using testsupport::TempDirectory;

namespace {

constexpr int BENCH_TEST_DEPTH = 7;

// Runs "bench" and returns its three report lines.
std::vector<std::string> bench(EngineProcess &e, int depth) {
    e.send("bench " + std::to_string(depth));
    std::vector<std::string> report;
    for (const auto &l : e.readThrough("NPS:", 60000))
        if (startsWith(l, "Nodes:") || startsWith(l, "Time:") || startsWith(l, "NPS:")) report.push_back(l);
    return report;
}

// The node count any change to the search or evaluation moves; tools/update_bench_nodes.sh rewrites it.
std::string expectedBenchNodes() {
    std::ifstream in(testsupport::dataPath("bench_nodes.txt"));
    std::string nodes;
    in >> nodes;
    return nodes;
}

// The expected node count moves with any change to the search or the evaluation; the hash is
// cleared, so the same search runs every time. The "eval" report changes nothing either.
TEST(Bench, RepeatsItsNodeCountAndEvalChangesNothing) {
    EngineProcess e;
    ASSERT_TRUE(e.started());
    auto first = bench(e, BENCH_TEST_DEPTH);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_TRUE(startsWith(first[1], "Time:\t") && first[1].find(" ms") != std::string::npos) << first[1];
    EXPECT_TRUE(startsWith(first[2], "NPS:\t")) << first[2];
    EXPECT_EQ(first[0], "Nodes:\t" + expectedBenchNodes())
        << "the search changed; if intended, run tools/update_bench_nodes.sh";
    const std::string last = "Pressure      : white     0, black     0 total     0 ";
    std::vector<std::string> reports[2];
    for (auto &report : reports) {
        e.send("eval");
        report = e.readUntil(last).value_or(std::vector<std::string>{});
        report.erase(report.begin(),
                     std::find(report.begin(), report.end(), "Approximation used for lazy eval  : 10"));
        EXPECT_NE(
            std::find(report.begin(), report.end(), "Pieces        : white  3295, black  3295 total     0 "),
            report.end());
    }
    EXPECT_EQ(reports[0], reports[1]);
    auto second = bench(e, BENCH_TEST_DEPTH);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[0], first[0]);
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

TEST(Analyze, WritesTheReport) {
    TempDirectory dir;
    dir.write("suite.epd",
              "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - bm Rd8#; id \"mate\";\n"         // solved
              "\n"                                                                // short: skipped
              "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 am e4;\n" // seven fields
              "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 bm Rd8#;\n"                    // five fields: invalid
              "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - am Rd8#;\n");                    // avoided move played
    EngineProcess e(dir.path());
    ASSERT_TRUE(e.started());
    e.send("analyze 200 suite.epd");
    // Each analysed line ends with the engine's move alone on a line: wait for all three.
    int moves = 0;
    while (moves < 3) {
        auto line = e.readLine(30000);
        ASSERT_TRUE(line);
        if (line->size() >= 4 && line->size() <= 5 && (*line)[1] >= '1' && (*line)[1] <= '8') ++moves;
    }
    // The last row is written after the last search: a command sent now runs once it is done.
    e.send("d");
    ASSERT_TRUE(e.readUntil("   a b c d e f g h", 30000)); // above the board
    ASSERT_TRUE(e.readUntil("   a b c d e f g h"));        // below it
    ASSERT_TRUE(e.readLine());                             // and the blank line
    std::istringstream report(dir.read("analyze.csv"));
    std::vector<std::string> lines;
    for (std::string l; std::getline(report, l);)
        lines.push_back(l);
    // The header, then a row for every line long enough: solved, an avoid move, an invalid line,
    // and one unsolved, which takes the whole time.
    const char *expected[] = {"^Vorlan 1\\.8 \\(built .*the Vorlan developers",
                              "^$",
                              "^File: suite\\.epd$",
                              "^Movetime: 200ms$",
                              "",
                              "",
                              "^id,fen,solution,,time,score \\(depth\\),pv,solved$",
                              "^1,6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -,bm d1d8,,.*\\(.*1$",
                              "^3,rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1,am e2e4,,",
                              "^#INV#,6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 bm Rd8#;$",
                              "^5,.*,200,.*0$"};
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(std::regex_search(lines[i], std::regex(expected[i]))) << lines[i];

    e.send("analyze 100");
    EXPECT_EQ(e.readLine(), "ERROR: The Analyze command must be in the form 'analyze <time in ms> <file>'!");
    e.send("analyze 100 missing file.epd");
    EXPECT_EQ(e.readLine(), "ERROR: Cannot open missing file.epd!");
}

} // namespace

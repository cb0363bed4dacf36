// The console's development commands through the real binary: bench and analyze.
#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::TempDirectory;

namespace {

constexpr int BENCH_TEST_DEPTH = 7;

bool startsWith(const std::string &s, const std::string &prefix) { return s.rfind(prefix, 0) == 0; }

// Runs "bench" and returns its three report lines.
std::vector<std::string> bench(EngineProcess &e, int depth) {
    e.send("bench " + std::to_string(depth));
    std::vector<std::string> report;
    while (auto line = e.readLine(60000)) {
        if (startsWith(*line, "Nodes:") || startsWith(*line, "Time:") || startsWith(*line, "NPS:"))
            report.push_back(*line);
        if (startsWith(*line, "NPS:")) break;
    }
    return report;
}

// The node count any change to the search or evaluation moves; tools/update_bench_nodes.sh rewrites it.
std::string expectedBenchNodes() {
    std::ifstream in(testsupport::dataPath("bench_nodes.txt"));
    std::string nodes;
    in >> nodes;
    return nodes;
}

TEST(Bench, ReportsAndRepeatsItsNodeCount) {
    EngineProcess e;
    ASSERT_TRUE(e.started());
    auto first = bench(e, BENCH_TEST_DEPTH);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_TRUE(startsWith(first[0], "Nodes:\t"));
    EXPECT_TRUE(startsWith(first[1], "Time:\t"));
    EXPECT_NE(first[1].find(" ms"), std::string::npos);
    EXPECT_TRUE(startsWith(first[2], "NPS:\t"));
    auto second = bench(e, BENCH_TEST_DEPTH);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(first[0], second[0]); // the hash is cleared: the same search every time
    EXPECT_EQ(first[0], "Nodes:\t" + expectedBenchNodes())
        << "the search changed; if intended, run tools/update_bench_nodes.sh";
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

TEST(Eval, ReportOfTheStartPosition) {
    EngineProcess e;
    ASSERT_TRUE(e.started());
    e.send("eval");
    auto lines = e.readUntil("Pressure      : white     0, black     0 total     0 ");
    ASSERT_TRUE(lines);
    auto has = [&](const std::string &text) {
        return std::find(lines->begin(), lines->end(), text) != lines->end();
    };
    EXPECT_TRUE(has("Approximation used for lazy eval  : 10"));
    EXPECT_TRUE(has("Pieces        : white  3295, black  3295 total     0 "));
    EXPECT_TRUE(has("Pawns         : white   785, black   785 total     0 "));
    int pairs = 0;
    for (const auto &l : *lines)
        if (l.find(", black ") != std::string::npos) {
            ++pairs;
            EXPECT_NE(l.find(" total     0 "), std::string::npos) << l; // a symmetric position
        }
    EXPECT_EQ(pairs, 12);
    // The report changes nothing: a second one reads the same.
    e.send("eval");
    auto again = e.readUntil("Pressure      : white     0, black     0 total     0 ");
    ASSERT_TRUE(again);
    auto fromApproximation = [](const std::vector<std::string> &v) {
        return std::vector<std::string>(
            std::find(v.begin(), v.end(), "Approximation used for lazy eval  : 10"), v.end());
    };
    EXPECT_EQ(fromApproximation(*again), fromApproximation(*lines));
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
    ASSERT_GE(lines.size(), 10u);
    EXPECT_TRUE(startsWith(lines[0], "Vorlan 1.8 (built ")) << lines[0];
    EXPECT_NE(lines[0].find("the Vorlan developers"), std::string::npos);
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "File: suite.epd");
    EXPECT_EQ(lines[3], "Movetime: 200ms");
    EXPECT_EQ(lines[6], "id,fen,solution,,time,score (depth),pv,solved");
    std::vector<std::string> rows(lines.begin() + 7, lines.end());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_TRUE(startsWith(rows[0], "1,6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -,bm d1d8,,")) << rows[0];
    EXPECT_NE(rows[0].find("("), std::string::npos);
    EXPECT_EQ(rows[0].back(), '1');
    EXPECT_TRUE(startsWith(rows[1], "3,rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1,am e2e4,,"))
        << rows[1];
    EXPECT_EQ(rows[2], "#INV#,6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 bm Rd8#;");
    EXPECT_TRUE(startsWith(rows[3], "5,")) << rows[3];
    EXPECT_EQ(rows[3].back(), '0');
    EXPECT_NE(rows[3].find(",200,"), std::string::npos) << rows[3]; // unsolved: the whole time

    e.send("analyze 100");
    auto err = e.readLine();
    ASSERT_TRUE(err);
    EXPECT_EQ(*err, "ERROR: The Analyze command must be in the form 'analyze <time in ms> <file>'!");
    e.send("analyze 100 missing file.epd");
    err = e.readLine();
    ASSERT_TRUE(err);
    EXPECT_EQ(*err, "ERROR: Cannot open missing file.epd!");
}

} // namespace

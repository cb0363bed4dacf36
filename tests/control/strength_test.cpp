// The strength limit and the shipped personalities through the real binary: the options' range,
// a search with the limit off exactly as without it, limited play, and every personality file
// loading cleanly, from the working folder or installed beside the program.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::startsWith;
using testsupport::TempDirectory;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

const std::string MIDDLEGAME = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8";

Lines exchange(EngineProcess &e, const Lines &lines) {
    for (const std::string &line : lines)
        e.send(line);
    e.send("isready");
    return e.readUntil("readyok").value_or(Lines{"<timeout>"});
}

long long field(const std::string &line, const std::string &name) {
    std::size_t at = line.find(" " + name + " ");
    return at == std::string::npos ? -1 : std::stoll(line.substr(at + name.size() + 2));
}

// A search's output without its clock readings.
Lines searchWithoutTimes(EngineProcess &e, const std::string &go) {
    e.send("position fen " + MIDDLEGAME);
    e.send(go);
    Lines out;
    for (const std::string &l : e.readThrough("bestmove ", 60000))
        out.push_back(std::regex_replace(l, std::regex(" (time|nps) \\d+"), ""));
    return out;
}

Lines shippedPersonalities() {
    Lines names;
    for (const auto &entry : fs::directory_iterator(VORLAN_PERSONALITIES))
        if (entry.path().extension() == ".ini") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(StrengthLimit, OptionsAreCheckedAndTheLimitOffChangesNothing) {
    EngineProcess plain, toggled;
    ASSERT_TRUE(plain.uciHandshake());
    ASSERT_TRUE(toggled.uciHandshake());
    EXPECT_EQ(exchange(toggled, {"setoption name UCI_Elo value 1349", "setoption name UCI_Elo value 2051",
                                 "setoption name UCI_LimitStrength value maybe",
                                 "setoption name UCI_LimitStrength value true", "setoption name UCI_Elo value 1400",
                                 "setoption name UCI_LimitStrength value false"}),
              (Lines{"info string ERROR: Value Out of Bound!", "info string ERROR: Value Out of Bound!",
                     "info string ERROR: Invalid Value!"}));
    EXPECT_EQ(searchWithoutTimes(toggled, "go depth 7"), searchWithoutTimes(plain, "go depth 7"));
}

// A low rating searches a few lines slowly and shallowly, takes some of its time, and plays one
// of its lines. The "NPS" ceiling holds on its own.
TEST(StrengthLimit, LimitedPlayIsSlowShallowAndLegal) {
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake({"setoption name OwnBook value false", "setoption name UCI_LimitStrength value true",
                                "setoption name UCI_Elo value 1350"}));
    e.send("position startpos moves e2e4 e7e5 g1f3");
    auto start = std::chrono::steady_clock::now();
    e.send("go wtime 5000 btime 5000");
    Lines lines = e.readThrough("bestmove ", 30000);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    ASSERT_TRUE(startsWith(lines.back(), "bestmove ")) << lines.back();
    std::string best = lines.back().substr(9, 4);
    bool listed = false;
    int lastDepth = 0;
    long long lastTime = 0, lastNodes = 0;
    for (const std::string &l : lines) {
        if (!startsWith(l, "info multipv ")) continue;
        listed = listed || l.find(" pv " + best) != std::string::npos;
        lastDepth = int(field(l, "depth")), lastTime = field(l, "time"), lastNodes = field(l, "nodes");
    }
    EXPECT_TRUE(listed) << best;
    EXPECT_LE(lastDepth, 8);
    EXPECT_LT(lastNodes * 1000, 100000 * (lastTime + 1)); // far below full speed
    EXPECT_GE(took.count(), 90); // at least half of its 200 ms budget

    EngineProcess capped;
    ASSERT_TRUE(capped.uciHandshake({"setoption name NPS value 20000"}));
    Lines c = searchWithoutTimes(capped, "go movetime 500");
    long long nodes = -1;
    for (const std::string &l : c)
        if (startsWith(l, "info depth")) nodes = field(l, "nodes");
    EXPECT_GT(nodes, 0);
    // Past its budget a search runs free until the next clock check, 4096 nodes on.
    EXPECT_LE(nodes, 20000 / 2 + 4096 + 2000);
}

TEST(StrengthLimit, ShippedPersonalitiesLoadWithoutErrors) {
    Lines names = shippedPersonalities();
    ASSERT_GE(names.size(), 6u);
    std::string choices = "var main";
    for (const std::string &n : names)
        choices += " var " + n;
    // From a working folder that has them, as when the engine is run from the source tree.
    EngineProcess e(fs::path(VORLAN_PERSONALITIES).parent_path().string());
    e.send("uci");
    Lines handshake = e.readUntil("uciok").value_or(Lines{});
    EXPECT_NE(std::find(handshake.begin(), handshake.end(),
                        "option name Personality type combo default main " + choices),
              handshake.end());
    for (const std::string &n : names)
        EXPECT_EQ(exchange(e, {"setoption name Personality value " + n}),
                  Lines{"info string Loading ini file 'personalities/" + n + ".ini'"});

    // Installed: PREFIX/bin/vorlan finds PREFIX/share/vorlan/personalities from any folder.
    TempDirectory prefix, elsewhere;
    fs::create_directories(prefix.file("bin"));
    fs::copy_file(VORLAN_BINARY, prefix.file("bin/vorlan"));
    fs::create_directories(prefix.file("share/vorlan"));
    fs::copy(VORLAN_PERSONALITIES, prefix.file("share/vorlan/personalities"));
    EngineProcess installed(elsewhere.path(), prefix.file("bin/vorlan"));
    Lines lines = exchange(installed, {"uci", "setoption name Personality value " + names[0]});
    EXPECT_NE(std::find(lines.begin(), lines.end(), "option name Personality type combo default main " + choices),
              lines.end());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "info string Loading ini file '" + prefix.file("bin/../share/vorlan/personalities/") +
                                names[0] + ".ini'");
}

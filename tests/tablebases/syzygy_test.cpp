// Syzygy tables: values against an independent oracle, damaged files left out with a reason,
// and the engine binary keeping a table win to mate and a table draw.
#include "tablebases/tb_support.h"

#include "position/fen.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "support/engine_process.h"
#include "support/test_support.h"
#include "tablebases/syzygy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using testsupport::EngineProcess;
using testsupport::TempDirectory;

namespace {

std::string tableFolder() { return testsupport::dataPath("syzygy"); }

// The full set of 3- and 4-piece tables and its oracle when the shared data is there; else the
// few tables (and oracle lines) kept with the tests.
struct TableSet {
    std::string folder, oracle;
};
TableSet tableSet() {
    std::string shared = std::string(VORLAN_SHARED_DATA);
    if (!shared.empty() && std::filesystem::exists(shared + "/syzygy/KQvKR.rtbw"))
        return {shared + "/syzygy", shared + "/tablebase-oracle/syzygy-wdl-sample.txt.xz"};
    return {tableFolder(), tableFolder() + "/oracle.txt"};
}

const position::Position &setUp(const std::string &fen, const std::string &moves = "") {
    position::LoadFen(fen);
    if (!moves.empty()) position::ApplyMoveList(moves);
    return position::GamePosition;
}

void copyTables(const TempDirectory &dir, const std::vector<std::string> &names) {
    for (const std::string &n : names)
        std::filesystem::copy_file(tableFolder() + "/" + n, dir.file(n));
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string reasonFor(const tablebases::SyzygyLoad &load, const std::string &name) {
    for (const auto &p : load.problems)
        if (p.path.size() >= name.size() && p.path.compare(p.path.size() - name.size(), name.size(), name) == 0)
            return p.reason;
    return "";
}

} // namespace

TEST(Syzygy, WinDrawLossMatchesTheOracle) {
    testsupport::initOnce();
    TableSet set = tableSet();
    tablebases::SyzygyLoad load = tablebases::loadSyzygy(set.folder);
    ASSERT_GE(load.largest, 3);
    EXPECT_TRUE(load.problems.empty());
    std::vector<std::string> lines = tbtest::readLines(set.oracle);
    ASSERT_GE(lines.size(), 3000u);
    std::size_t step = lines.size() / 3000, checked = 0, wrong = 0;
    for (std::size_t i = 0; i < lines.size(); i += step) {
        const std::string &line = lines[i];
        std::size_t semi = line.find(" ; wdl ");
        int expected = std::stoi(line.substr(semi + 7));
        int wdl = 99;
        if (!tablebases::syzygyWinDrawLoss(setUp(line.substr(0, semi)), wdl) || wdl != expected) {
            if (++wrong <= 5) ADD_FAILURE() << line << ": got " << wdl;
        }
        ++checked;
    }
    EXPECT_EQ(wrong, 0u) << "of " << checked;
    tablebases::loadSyzygy("");
}

TEST(Syzygy, TableNames) {
    struct Case {
        const char *name;
        bool valid;
    } cases[] = {{"KQvK", true},    {"KQvKR", true},  {"KRPPvKRP", true}, {"KvK", false}, {"KQK", false},
                 {"QKvK", false},   {"KQvKK", false}, {"KXvK", false},    {"KQRBNPPvK", false}};
    for (const Case &c : cases) {
        int counts[2][6];
        EXPECT_EQ(tablebases::parseTableName(c.name, counts), c.valid) << c.name;
    }
}

TEST(Syzygy, DamagedFilesAreLeftOutWithTheirReason) {
    testsupport::initOnce();
    TempDirectory dir;
    copyTables(dir, {"KQvK.rtbw", "KQvK.rtbz", "KRvK.rtbw", "KRvK.rtbz", "KPvK.rtbw", "KPvK.rtbz", "KQvKR.rtbw",
                     "KQvKR.rtbz"});
    // A foreign file under a table's name, files cut to an odd length and to whole disk blocks,
    // and a table under another's name (whose header and size look right: the trial finds it).
    dir.write("KNvK.rtbw", std::string(272, 'x'));
    std::string kpk = readFile(tableFolder() + "/KPvK.rtbz");
    dir.write("KPvK.rtbz", kpk.substr(0, kpk.size() - 1));
    std::string kqkr = readFile(tableFolder() + "/KQvKR.rtbz");
    dir.write("KQvKR.rtbz", kqkr.substr(0, 37 * 4096));
    dir.write("KRvK.rtbw", readFile(tableFolder() + "/KQvK.rtbw"));
    tablebases::SyzygyLoad load = tablebases::loadSyzygy(dir.path());
    const std::string rejected = "rejected by the table reader (damaged or misnamed)";
    EXPECT_EQ(reasonFor(load, "KNvK.rtbw"), "not a Syzygy win/draw/loss table");
    EXPECT_EQ(reasonFor(load, "KPvK.rtbz"), "truncated or damaged (4175 bytes)");
    EXPECT_EQ(reasonFor(load, "KQvKR.rtbz"), "truncated or damaged (151552 bytes)");
    EXPECT_EQ(reasonFor(load, "KRvK.rtbw"), rejected);
    EXPECT_EQ(reasonFor(load, "KRvK.rtbz"), rejected); // the reader does not say which file
    EXPECT_EQ(load.problems.size(), 5u);
    // What is left still answers.
    int wdl = 99;
    EXPECT_TRUE(tablebases::syzygyWinDrawLoss(setUp("8/8/8/8/8/2k5/8/KQ6 w - - 0 1"), wdl));
    EXPECT_EQ(wdl, 2);
    tablebases::loadSyzygy("");
}

TEST(SyzygyEngine, ReportsADamagedFileOnceAndPlaysOn) {
    TempDirectory dir;
    copyTables(dir, {"KQvK.rtbw", "KQvK.rtbz", "KRvK.rtbz"});
    dir.write("KRvK.rtbw", readFile(tableFolder() + "/KRvK.rtbw").substr(0, 200));
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake());
    e.send("setoption name SyzygyPath value " + dir.path());
    e.send("isready");
    EXPECT_EQ(e.readUntil("readyok"),
              (std::vector<std::string>{
                  "info string Syzygy file " + dir.file("KRvK.rtbw") + " skipped: truncated or damaged (200 bytes)",
                  "info string Syzygy tablebases: 1 table (3 files), up to 3 pieces, damaged files skipped"}));
    e.send("position fen 8/8/8/8/8/2k5/8/KQ6 w - - 0 1");
    e.send("go depth 6");
    std::vector<std::string> seen = e.readThrough("bestmove ", 30000);
    EXPECT_TRUE(testsupport::startsWith(seen.back(), "bestmove "));
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

// The engine against the tables' best defence: every move it plays keeps the result.
TEST(SyzygyEngine, KeepsTheWinToMateAndTheDraw) {
    testsupport::initOnce();
    ASSERT_GE(tablebases::loadSyzygy(tableFolder()).largest, 4);
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake({"setoption name Threads value 2"})); // the helper probes too
    e.send("setoption name SyzygyPath value " + tableFolder());
    e.send("isready");
    auto setup = e.readUntil("readyok").value_or(std::vector<std::string>{});
    ASSERT_EQ(setup.size(), 1u);
    EXPECT_EQ(setup[0], "info string Syzygy tablebases: 6 tables (12 files), up to 4 pieces");

    struct Game {
        const char *fen;
        int result; // what the engine's side keeps: 2 win, 0 draw
        int moves;  // how many of its moves to play (a win is played to mate)
    } games[] = {
        {"8/8/8/8/8/2k5/8/KQ3r2 w - - 0 1", 2, 60}, // KQ against KR: win the rook, then mate
        {"8/8/4k3/8/8/8/4P3/4K3 b - - 0 1", 0, 12}, // the lone king holds the draw
    };
    bool hits = false;
    for (const Game &g : games) {
        std::string moves;
        int played = 0;
        bool mated = false;
        while (played < g.moves && !mated) {
            e.send("position fen " + std::string(g.fen) + (moves.empty() ? "" : " moves" + moves));
            e.send("go depth 8");
            std::vector<std::string> seen = e.readThrough("bestmove ", 30000);
            ASSERT_TRUE(testsupport::startsWith(seen.back(), "bestmove ")) << seen.back();
            for (const auto &l : seen)
                if (l.find(" tbhits ") != std::string::npos && l.find(" tbhits 0 ") == std::string::npos) hits = true;
            std::string best = seen.back().substr(9, seen.back().find(' ', 9) - 9);
            moves += " " + best;
            ++played;
            // The opponent to move: the result must be the mirror of what the engine keeps.
            const position::Position &pos = setUp(g.fen, moves);
            position::MoveEntry legal[position::MAX_MOVES];
            if (position::GenerateLegal(position::GamePosition, legal) == 0) {
                mated = g.result == 2;
                EXPECT_TRUE(mated) << "stalemate after" << moves;
                break;
            }
            tablebases::RootTableMoves reply;
            ASSERT_TRUE(tablebases::rankRootMoves(pos, false, reply)) << moves;
            ASSERT_EQ(reply.wdl, -g.result) << g.fen << " after" << moves;
            char text[8];
            *position::MoveToText(reply.moves[0], text) = 0;
            moves += std::string(" ") + text;
        }
        if (g.result == 2) {
            EXPECT_TRUE(mated) << g.fen << moves;
        }
    }
    EXPECT_TRUE(hits);
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
    tablebases::loadSyzygy("");
}

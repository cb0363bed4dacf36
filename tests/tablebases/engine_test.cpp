// The real binaries: the engine with generated tables (searching on three threads) reports a
// damaged file, skips it, and reports the table's exact mate and plays a move that keeps it; the
// generator refuses what it cannot make with a clear message and a non-zero exit.
#include "tablebases/tb_support.h"

#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::EngineProcess;
using testsupport::TempDirectory;

namespace {

bool contains(const std::vector<std::string> &lines, const std::string &text) {
    for (const auto &l : lines)
        if (l.find(text) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(TablebaseEngine, PlaysTheMateItsTablesKnow) {
    ASSERT_TRUE(tbtest::makeTestTables());
    TempDirectory dir;
    for (const char *name : {"krk.nbw.emd", "krk.nbb.emd"})
        std::filesystem::copy_file(tbtest::compressedFolder() + "/" + name, dir.file(name));
    dir.write("kqk.nbw", "not a table");
    EngineProcess e;
    ASSERT_TRUE(e.uciHandshake({"setoption name Threads value 3"})); // helpers probe the tables too
    e.send("setoption name NalimovPath value " + dir.path());
    e.send("isready");
    auto setup = e.readUntil("readyok").value_or(std::vector<std::string>{});
    EXPECT_TRUE(contains(setup, "info string Tablebase file " + dir.file("kqk.nbw") + " skipped"));
    EXPECT_TRUE(contains(setup, "info string Tablebases: 2 files registered (1 skipped), up to 3 pieces"));

    const std::string fen = "8/8/8/8/8/2k5/1R6/K7 w - - 0 1"; // mate in 16
    e.send("position fen " + fen);
    e.send("go depth 4");
    std::vector<std::string> seen = e.readThrough("bestmove ", 30000);
    ASSERT_TRUE(testsupport::startsWith(seen.back(), "bestmove "));
    std::string best = seen.back().substr(9, seen.back().find(' ', 9) - 9), lastInfo;
    for (const auto &l : seen)
        if (testsupport::startsWith(l, "info multipv")) lastInfo = l;
    EXPECT_NE(lastInfo.find(" score mate 16 "), std::string::npos) << lastInfo;
    tbtest::Dtm after = tbtest::lookupFen(fen, best);
    EXPECT_TRUE(after.known && after.plies == -30) << best << " leaves " << after.plies;
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
}

TEST(TablebaseGenerator, RefusesWhatItCannotMake) {
    TempDirectory dir;
    struct Case {
        std::string arguments, message;
        int exit;
    };
    const Case cases[] = {
        {"--all 6", "tables of 6 pieces are too big for this machine", 2},
        {"kqrkqr", "cannot make kqrkqr: it needs", 1},
        {"kbnknp", "cannot make kbnknp: its values take two bytes", 1},
        {"kxk", "'kxk' is not a table name", 2},
    };
    for (const Case &c : cases) {
        // Under the sanitizers a failed allocation must return null, as it does in a normal build.
        auto run =
            testsupport::runCommand("ASAN_OPTIONS=allocator_may_return_null=1 " + std::string(VORLAN_TBGEN) +
                                    " " + c.arguments + " -o " + dir.path());
        EXPECT_EQ(run.status, c.exit) << c.arguments;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << ": " << run.output;
    }
}

// Registration over the path list, the block cache, the probe's scores, and damaged files.
#include "tablebases/tb_support.h"

#include "position/fen.h"
#include "position/position.h"
#include "search/draw.h"
#include "support/engine_process.h"
#include "tablebases/cache.h"
#include "tablebases/probe.h"
#include "tablebases/registry.h"
#include "tbgen/store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tablebases;
using testsupport::TempDirectory;

namespace {

namespace fs = std::filesystem;

void copyTable(const std::string &name, const std::string &to, const std::string &as = "") {
    fs::copy_file(tbtest::compressedFolder() + "/" + name, to + "/" + (as.empty() ? name : as),
                  fs::copy_options::overwrite_existing);
}

std::string readAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int probeFen(const std::string &fen, int ply, bool &found) {
    position::LoadFen(fen);
    int score = 0;
    found = ProbeTablebase(position::GamePosition, ply, score);
    return score;
}

// The tablebase news f gave, one line each: the kind's number, the file's name, the reason and the
// numbers.
std::string News;
template <typename F> std::string newsOf(F &&f) {
    NewsFunction saved = NewsHook;
    News.clear();
    NewsHook = [](const TablebaseNews &n) {
        std::string name = n.path;
        name = name.substr(name.find_last_of('/') + 1);
        News += std::to_string(int(n.kind)) + " " + name + " " + n.reason + " " + std::to_string(n.size) +
                " " + std::to_string(n.expected) + " " + std::to_string(n.registered) + " " +
                std::to_string(n.skipped) + "\n";
    };
    f();
    NewsHook = saved;
    return News;
}
std::string kind(NewsKind k) { return std::to_string(int(k)) + " "; }

} // namespace

TEST(TablebaseProbe, ValuesBecomeSearchScores) {
    struct Byte {
        std::int8_t stored;
        int value;
    };
    for (Byte b : {Byte{0, 0},
                   {127, NO_VALUE},
                   {126, 32766},
                   {1, 32641},
                   {-128, 32640},
                   {-126, -32766},
                   {-1, -32641},
                   {-127, -32640}})
        EXPECT_EQ(valueOfByte(b.stored), b.value) << int(b.stored);
    EXPECT_EQ(valueOfBytes(0xFE, 0x7F), 32766);
    EXPECT_EQ(valueOfBytes(0x02, 0x80), -32766);
    // Mate in n moves from ply p: 32000 - 2n - p; mated in n: 2n + p - 32000; draws score `draw`.
    EXPECT_EQ(searchScore(32767 - 1, 0, 0), 31998);
    EXPECT_EQ(searchScore(32767 - 10, 3, 0), 32000 - 20 - 3);
    EXPECT_EQ(searchScore(-32766 + 0, 4, 0), 4 - 32000);
    EXPECT_EQ(searchScore(-32766 + 7, 2, 0), 14 + 2 - 32000);
    EXPECT_EQ(searchScore(0, 5, -10), -10);
    // kppkp with the second side to move: seven entries are a loss in 127, whatever the file says.
    EXPECT_EQ(tableValue(findTable("kppkp"), 1, 0x40A2CAB), -32639);
}

// Folders separated by ";" or ",", with or without a trailing separator; the first folder that
// has a file wins; the underscore names are found; an empty path registers nothing.
TEST(TablebaseProbe, RegistersTheFirstFileOfThePathList) {
    ASSERT_TRUE(tbtest::makeTestTables());
    TempDirectory first, second;
    copyTable("kqk.nbw.emd", first.path());
    copyTable("kqk.nbb.emd", first.path());
    copyTable("kqk.nbw.emd", second.path());
    copyTable("krk.nbw.emd", second.path(), "krk_nbw.emd");
    copyTable("krk.nbb.emd", second.path(), "krk_nbb.emd");
    allocateTablebaseCache(1);
    std::string paths = first.path() + "/;" + "/no/such/folder," + second.path();
    std::string out = newsOf([&] { EXPECT_EQ(InitTablebases(paths), 3); });
    EXPECT_NE(out.find(kind(NewsKind::REGISTERED) + "  0 0 4 "), std::string::npos) << out;
    EXPECT_EQ(Registered[findTable("kqk")][0].extent[0].path, first.path() + "/kqk.nbw.emd");
    EXPECT_EQ(Registered[findTable("krk")][1].extent[0].path, second.path() + "/krk_nbb.emd");
    bool found;
    EXPECT_EQ(probeFen("8/8/8/5k2/8/8/1Q6/K7 w - - 0 1", 0, found), 32000 - 2 * 10);
    EXPECT_TRUE(found);
    EXPECT_LT(probeFen("8/8/8/8/8/2k5/1R6/K7 b - - 0 1", 1, found), -30000);
    EXPECT_TRUE(found);
    // A draw scores as the search scores draws at this node.
    int draw = probeFen("k7/1Q6/8/8/8/8/8/7K b - - 0 1", 2, found);
    EXPECT_TRUE(found);
    EXPECT_EQ(draw, search::drawScore(position::GamePosition));

    EXPECT_EQ(InitTablebases(""), 0);
    probeFen("8/8/8/5k2/8/8/1Q6/K7 w - - 0 1", 0, found);
    EXPECT_FALSE(found);
}

// Every value read through a small cache equals the table's, while blocks come and go; with
// 1 MB the cache holds 126 blocks and a new one pushes out the least recently used.
TEST(TablebaseProbe, CacheServesEveryValueAndEvictsTheOldest) {
    ASSERT_TRUE(tbtest::makeTestTables());
    allocateTablebaseCache(1);
    ASSERT_EQ(tablebaseCacheEntries(), 126);
    InitTablebases(tbtest::compressedFolder());
    int id = findTable("krkn");
    const auto &bytes = tbgen::Loaded[id].side[1];
    for (std::uint64_t i = 0; i < bytes.size(); i += 61)
        ASSERT_EQ(tableValue(id, 1, i), valueOfByte(bytes[i])) << i;
    // Blocks 0..125 fill the cache; touching block 0 again makes block 1 the oldest.
    InitTablebases(tbtest::compressedFolder());
    for (std::uint64_t b = 0; b < 126; ++b)
        tableValue(id, 1, b * 8192);
    std::uint64_t loads = tablebaseBlockLoads();
    tableValue(id, 1, 0);
    EXPECT_EQ(tablebaseBlockLoads(), loads);
    tableValue(id, 1, 126 * 8192);
    tableValue(id, 1, 0);
    EXPECT_EQ(tablebaseBlockLoads(), loads + 1);
    tableValue(id, 1, 8192);
    EXPECT_EQ(tablebaseBlockLoads(), loads + 2);
}

// Files that do not fit their table are skipped with one line each; a broken block found in a
// probe turns that file off with one line, and the probes go on answering "not found".
TEST(TablebaseProbe, DamagedFilesNeverStopTheEngine) {
    ASSERT_TRUE(tbtest::makeTestTables());
    TempDirectory dir;
    std::string kpk = readAll(tbtest::compressedFolder() + "/kpk.nbw.emd");
    dir.write("kpk.nbw.emd", kpk.substr(0, kpk.size() / 2)); // truncated
    dir.write("kqk.nbw", std::string(1000, '\0'));           // wrong size
    std::string krk = readAll(tbtest::compressedFolder() + "/krk.nbw.emd");
    krk[100] ^= 4; // header
    dir.write("krk.nbw.emd", krk);
    std::string krkn = readAll(tbtest::compressedFolder() + "/krkn.nbb.emd");
    krkn[krkn.size() - 100] ^= 1; // last block
    dir.write("krkn.nbb.emd", krkn);
    allocateTablebaseCache(1);
    std::string out = newsOf([&] { EXPECT_EQ(InitTablebases(dir.path()), 4); });
    EXPECT_NE(out.find(" kpk.nbw.emd "), std::string::npos) << out;
    EXPECT_NE(out.find(kind(NewsKind::FILE_SIZE) + "kqk.nbw  1000 25635 "), std::string::npos) << out;
    EXPECT_NE(out.find(kind(NewsKind::FILE_BROKEN) + "krk.nbw.emd file broken "), std::string::npos) << out;
    EXPECT_NE(out.find(kind(NewsKind::REGISTERED) + "  0 0 1 3\n"), std::string::npos) << out;

    int id = findTable("krkn");
    std::uint64_t last = Tables[id].layout[1].size - 1;
    EXPECT_NE(tableValue(id, 1, 0), NO_VALUE);
    out = newsOf([&] { EXPECT_EQ(tableValue(id, 1, last), NO_VALUE); });
    EXPECT_NE(out.find(kind(NewsKind::FILE_FAILED) + "krkn.nbb.emd a block is broken "), std::string::npos)
        << out;
    out = newsOf([&] { EXPECT_EQ(tableValue(id, 1, 8192 * 40), NO_VALUE); });
    EXPECT_EQ(out, "");
    InitTablebases("");
}

// Values of generated tables against independent references: the complete 3-piece DTM tables, a
// WDL sample, hand-picked depths to mate and a published KRK dump.
#include "tablebases/tb_support.h"

#include "position/position.h"
#include "tablebases/probe.h"
#include "tbgen/store.h"

#include <gtest/gtest.h>

#include <sstream>

using tbtest::Dtm;

namespace {

constexpr int KIND_SLOT[] = {0, 3, 6, 9, 12}; // first slot of p, n, b, r, q

unsigned square(const std::string &text, std::size_t at) {
    return position::textToSquare(text[at], text[at + 1]);
}

int kindOfLetter(char c) { return int(std::string("PNBRQ").find(c)); }

bool tableMade(const std::string &fen) {
    tablebases::TableSpot spot;
    tbtest::lookupFen(fen);
    return tablebases::positionSpot(position::GamePosition, spot) && tbgen::Loaded[spot.id].present;
}

std::string describe(const Dtm &d) {
    return d.known ? std::to_string(d.plies) + (d.mated ? " mated" : "") : "unknown";
}

} // namespace

// Every position of KQK, KRK, KBK, KNK and KPK, and each one's colour-swapped twin.
TEST(TablebaseOracle, ThreePieceTablesMatchTheCompleteDtmTables) {
    ASSERT_TRUE(tbtest::makeTestTables());
    auto lines = tbtest::readLines(tbtest::oracleFile("tablebase-oracle/gaviota-3-piece-dtm.txt.xz"));
    if (lines.empty()) GTEST_SKIP() << "no DTM oracle (reference data or xz missing)";
    EXPECT_EQ(lines.size(), 1945584u);
    int wrong = 0;
    for (const std::string &line : lines) {
        // "kqk w Ka1 Qb1 Kd2 9[ mated]"
        int side = line[4] == 'b';
        unsigned wk = square(line, 7), piece = square(line, 11), bk = square(line, 15);
        int kind = kindOfLetter(line[10]);
        std::istringstream rest(line.substr(18));
        Dtm want;
        std::string mated;
        rest >> want.plies >> mated;
        want.known = true, want.mated = mated == "mated";
        unsigned white[16] = {}, black[16] = {};
        int counts[5] = {}, none[5] = {};
        white[15] = wk, black[15] = bk, white[KIND_SLOT[kind]] = piece, counts[kind] = 1;
        Dtm got = tbtest::lookup(white, black, counts, none, side);
        // The twin: colours exchanged, board mirrored, the other side to move.
        unsigned twinWhite[16] = {}, twinBlack[16] = {};
        twinWhite[15] = bk ^ 56, twinBlack[15] = wk ^ 56, twinBlack[KIND_SLOT[kind]] = piece ^ 56;
        Dtm twin = tbtest::lookup(twinWhite, twinBlack, none, counts, 1 - side);
        bool ok = got.known && got.plies == want.plies && got.mated == want.mated && twin.known &&
                  twin.plies == got.plies && twin.mated == got.mated;
        if (!ok && ++wrong <= 5)
            ADD_FAILURE() << line << ": got " << describe(got) << ", twin " << describe(twin);
    }
    EXPECT_EQ(wrong, 0);
}

// Win, draw or loss of the sampled positions whose tables the test made; a cursed win or blessed
// loss (wdl +-1) is a win or loss by depth to mate.
TEST(TablebaseOracle, SampledPositionsMatchTheWdlSample) {
    ASSERT_TRUE(tbtest::makeTestTables());
    auto lines = tbtest::readLines(tbtest::oracleFile("tablebase-oracle/syzygy-wdl-sample.txt.xz"));
    if (lines.empty()) GTEST_SKIP() << "no WDL sample (reference data or xz missing)";
    int checked = 0, wrong = 0;
    for (const std::string &line : lines) {
        std::size_t semi = line.find(" ; wdl ");
        std::string fen = line.substr(0, semi);
        if (!tableMade(fen)) continue;
        int wdl = std::stoi(line.substr(semi + 7));
        Dtm got = tbtest::lookupFen(fen);
        int sign = got.plies > 0 ? 1 : got.plies < 0 || got.mated ? -1 : 0;
        int want = wdl > 0 ? 1 : wdl < 0 ? -1 : 0;
        ++checked;
        if ((!got.known || sign != want) && ++wrong <= 5) ADD_FAILURE() << line << ": got " << describe(got);
    }
    EXPECT_EQ(checked, 3000 * 6); // KBvK KNvK KPvK KQvK KRvK KRvKN
    EXPECT_EQ(wrong, 0);
}

// The hand-picked positions of the made tables have exactly the listed depth to mate.
TEST(TablebaseOracle, HandPickedPositionsHaveTheListedDepthToMate) {
    ASSERT_TRUE(tbtest::makeTestTables());
    auto lines = tbtest::readLines(tbtest::oracleFile("tablebase-oracle/dtm-4-5-piece.epd"));
    if (lines.empty()) GTEST_SKIP() << "no depth-to-mate positions (reference data missing)";
    int checked = 0;
    for (const std::string &line : lines) {
        std::size_t semi = line.find(" ; dm ");
        std::string fen = line.substr(0, semi) + " 0 1";
        if (!tableMade(fen)) continue;
        int dm = std::stoi(line.substr(semi + 6));
        Dtm got = tbtest::lookupFen(fen);
        ++checked;
        EXPECT_TRUE(got.known && got.plies == (dm > 0 ? 2 * dm - 1 : 2 * dm))
            << line << ": got " << describe(got);
    }
    EXPECT_GE(checked, 6);
}

// The published KRK dump: Black to move, White king in the a1-d1-d4 triangle.
TEST(TablebaseOracle, KrkMatchesThePublishedDump) {
    ASSERT_TRUE(tbtest::makeTestTables());
    auto lines = tbtest::readLines(tbtest::oracleFile("nalimov/krk-black-to-move-dtm.txt"));
    if (lines.empty()) GTEST_SKIP() << "no KRK dump (reference data missing)";
    int wrong = 0;
    for (const std::string &line : lines) {
        ASSERT_EQ(line.size(), 8u) << line;
        unsigned white[16] = {}, black[16] = {};
        int rook[5] = {0, 0, 0, 1, 0}, none[5] = {};
        white[15] = square(line, 0), white[9] = square(line, 2), black[15] = square(line, 4);
        char v = line[7];
        int moves = v == 'D' ? -1 : v <= '9' ? v - '0' : v - 'a' + 10;
        Dtm got = tbtest::lookup(white, black, rook, none, 1);
        bool ok = got.known && (moves < 0 ? got.plies == 0 && !got.mated : got.plies == -2 * moves);
        if (!ok && ++wrong <= 5) ADD_FAILURE() << line << ": got " << describe(got);
    }
    EXPECT_GT(lines.size(), 28000u);
    EXPECT_EQ(wrong, 0);
}

// Values of generated tables against independent references: the complete 3-piece DTM tables, a
// WDL sample, hand-picked depths to mate and a published KRK dump.
#include "tablebases/tb_support.h"

#include "position/position.h"
#include "tablebases/probe.h"
#include "tbgen/store.h"

#include <gtest/gtest.h>

#include <functional>
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

constexpr const char *SKIP = "skip";

// Checks the lines of a reference file one by one: `check` returns "" when a line agrees, SKIP
// when the test did not make its table, or else what it got. The first five disagreements are
// reported; the result is the number of lines checked, -1 when the file is not there.
int checkLines(const std::string &file, const std::function<std::string(const std::string &)> &check) {
    auto lines = tbtest::readLines(tbtest::oracleFile(file));
    if (lines.empty()) return -1;
    int checked = 0, wrong = 0;
    for (const std::string &line : lines) {
        std::string got = check(line);
        if (got == SKIP) continue;
        ++checked;
        if (!got.empty() && ++wrong <= 5) ADD_FAILURE() << line << ": got " << got;
    }
    EXPECT_EQ(wrong, 0) << file;
    return checked;
}

} // namespace

// Every position of KQK, KRK, KBK, KNK and KPK, and each one's colour-swapped twin.
TEST(TablebaseOracle, ThreePieceTablesMatchTheCompleteDtmTables) {
    ASSERT_TRUE(tbtest::makeTestTables());
    int checked = checkLines("tablebase-oracle/gaviota-3-piece-dtm.txt.xz", [](const std::string &line) {
        // "kqk w Ka1 Qb1 Kd2 9[ mated]"
        int side = line[4] == 'b';
        unsigned wk = square(line, 7), piece = square(line, 11), bk = square(line, 15);
        int kind = kindOfLetter(line[10]);
        std::istringstream rest(line.substr(18));
        Dtm want;
        std::string mated;
        rest >> want.plies >> mated;
        unsigned white[16] = {}, black[16] = {};
        int counts[5] = {}, none[5] = {};
        white[15] = wk, black[15] = bk, white[KIND_SLOT[kind]] = piece, counts[kind] = 1;
        Dtm got = tbtest::lookup(white, black, counts, none, side);
        // The twin: colours exchanged, board mirrored, the other side to move.
        unsigned twinWhite[16] = {}, twinBlack[16] = {};
        twinWhite[15] = bk ^ 56, twinBlack[15] = wk ^ 56, twinBlack[KIND_SLOT[kind]] = piece ^ 56;
        Dtm twin = tbtest::lookup(twinWhite, twinBlack, none, counts, 1 - side);
        bool ok = got.known && got.plies == want.plies && got.mated == (mated == "mated") && twin.known &&
                  twin.plies == got.plies && twin.mated == got.mated;
        return ok ? std::string() : describe(got) + ", twin " + describe(twin);
    });
    if (checked < 0) GTEST_SKIP() << "no DTM oracle (reference data or xz missing)";
    EXPECT_EQ(checked, 1945584);
}

// Win, draw or loss of the sampled positions whose tables the test made; a cursed win or blessed
// loss (wdl +-1) is a win or loss by depth to mate.
TEST(TablebaseOracle, SampledPositionsMatchTheWdlSample) {
    ASSERT_TRUE(tbtest::makeTestTables());
    int checked = checkLines("tablebase-oracle/syzygy-wdl-sample.txt.xz", [](const std::string &line) {
        std::size_t semi = line.find(" ; wdl ");
        std::string fen = line.substr(0, semi);
        if (!tableMade(fen)) return std::string(SKIP);
        int wdl = std::stoi(line.substr(semi + 7));
        Dtm got = tbtest::lookupFen(fen);
        int sign = got.plies > 0 ? 1 : got.plies < 0 || got.mated ? -1 : 0;
        return got.known && sign == (wdl > 0) - (wdl < 0) ? std::string() : describe(got);
    });
    if (checked < 0) GTEST_SKIP() << "no WDL sample (reference data or xz missing)";
    EXPECT_EQ(checked, 3000 * 6); // KBvK KNvK KPvK KQvK KRvK KRvKN
}

// The hand-picked positions of the made tables have exactly the listed depth to mate.
TEST(TablebaseOracle, HandPickedPositionsHaveTheListedDepthToMate) {
    ASSERT_TRUE(tbtest::makeTestTables());
    int checked = checkLines("tablebase-oracle/dtm-4-5-piece.epd", [](const std::string &line) {
        std::size_t semi = line.find(" ; dm ");
        std::string fen = line.substr(0, semi) + " 0 1";
        if (!tableMade(fen)) return std::string(SKIP);
        int dm = std::stoi(line.substr(semi + 6));
        Dtm got = tbtest::lookupFen(fen);
        return got.known && got.plies == (dm > 0 ? 2 * dm - 1 : 2 * dm) ? std::string() : describe(got);
    });
    if (checked < 0) GTEST_SKIP() << "no depth-to-mate positions (reference data missing)";
    EXPECT_GE(checked, 6);
}

// The published KRK dump: Black to move, White king in the a1-d1-d4 triangle.
TEST(TablebaseOracle, KrkMatchesThePublishedDump) {
    ASSERT_TRUE(tbtest::makeTestTables());
    int checked = checkLines("nalimov/krk-black-to-move-dtm.txt", [](const std::string &line) {
        if (line.size() != 8) return std::string("a malformed line");
        unsigned white[16] = {}, black[16] = {};
        int rook[5] = {0, 0, 0, 1, 0}, none[5] = {};
        white[15] = square(line, 0), white[9] = square(line, 2), black[15] = square(line, 4);
        char v = line[7];
        int moves = v == 'D' ? -1 : v <= '9' ? v - '0' : v - 'a' + 10;
        Dtm got = tbtest::lookup(white, black, rook, none, 1);
        bool ok = got.known && (moves < 0 ? got.plies == 0 && !got.mated : got.plies == -2 * moves);
        return ok ? std::string() : describe(got);
    });
    if (checked < 0) GTEST_SKIP() << "no KRK dump (reference data missing)";
    EXPECT_GT(checked, 28000);
}

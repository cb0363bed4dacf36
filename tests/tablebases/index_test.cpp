// The index functions: table sizes, split files, distinct indices for distinct positions, and
// equal indices for a position's symmetric images.
#include "tablebases/tb_support.h"

#include "position/attacks.h"
#include "support/test_support.h"
#include "tbgen/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

using namespace tablebases;

namespace {

void init() {
    position::initAttackTables();
    initTableList();
}

// A position of a table: squares in generator slot order (kings, first side's pieces, second's).
struct Placement {
    const TableInfo *t;
    unsigned sq[6];
    int side; // 0: the first side to move
};

// Square lists for locate(), with the first side as White.
void lists(const Placement &p, unsigned (&white)[16], unsigned (&black)[16], int (&wc)[5], int (&bc)[5]) {
    std::fill(wc, wc + 5, 0), std::fill(bc, bc + 5, 0);
    white[15] = p.sq[0], black[15] = p.sq[1];
    int slot = 2;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < p.t->material.count[c]; ++i, ++slot) {
            int k = p.t->material.kinds[c][i];
            int &n = c == 0 ? wc[k] : bc[k];
            (c == 0 ? white : black)[3 * k + n++] = p.sq[slot];
        }
}

std::uint64_t indexOf(const Placement &p, unsigned ep = 127) {
    unsigned white[16], black[16];
    int wc[5], bc[5];
    lists(p, white, black, wc, bc);
    TableSpot spot;
    return locate(white, black, wc, bc, p.side, ep, spot) ? spot.index : NO_INDEX;
}

unsigned transform(unsigned s, int symmetry) {
    if (symmetry & 4) s = ((s & 7) << 3) | (s >> 3);
    return s ^ (symmetry & 1 ? 7u : 0u) ^ (symmetry & 2 ? 56u : 0u);
}

// The same for every image of a position under the board symmetries the table allows (and any
// order of identical pieces).
std::uint64_t classOf(const Placement &p) {
    std::uint64_t best = ~0ull;
    int first = p.t->material.count[0], all = 2 + first + p.t->material.count[1];
    for (int sym = 0; sym < (p.t->material.pawns ? 2 : 8); ++sym) {
        unsigned key[6];
        for (int i = 0; i < all; ++i)
            key[i] = transform(p.sq[i], sym);
        auto order = [&](int from, int to) { // identical pieces may come in any order: sort each side
            for (int i = from + 1; i < to; ++i)
                for (int j = i; j > from && key[j] < key[j - 1]; --j)
                    std::swap(key[j], key[j - 1]);
        };
        order(2, 2 + first);
        order(2 + first, all);
        std::uint64_t code = std::uint64_t(p.side);
        for (int i = 0; i < all; ++i)
            code = code << 6 | key[i];
        best = std::min(best, code);
    }
    return best;
}

bool legal(const tbgen::Space &space, const Placement &p) {
    tbgen::Board b;
    std::copy(p.sq, p.sq + space.slots, b.sq);
    for (int i = 2; i < space.slots; ++i)
        if (space.type[i] == position::PAWN && (b.sq[i] < 8 || b.sq[i] > 55)) return false;
    return tbgen::isLegal(space, b, p.side);
}

// Checks every legal placement of the non-king pieces with the kings on the given squares.
void checkDistinct(const TableInfo &t, int side, const std::vector<std::pair<unsigned, unsigned>> &kings,
                   int &failures) {
    tbgen::Space space = tbgen::makeSpace(t);
    int pieces = t.material.count[0] + t.material.count[1];
    std::uint64_t size = t.sideSize(side);
    std::vector<std::uint64_t> seen(size, ~0ull); // the class that holds each index
    Placement p{&t, {}, side};
    for (auto [wk, bk] : kings) {
        p.sq[0] = wk, p.sq[1] = bk;
        for (unsigned code = 0; code < (1u << (6 * pieces)); ++code) {
            for (int i = 0; i < pieces; ++i)
                p.sq[2 + i] = (code >> (6 * i)) & 63;
            if (!legal(space, p)) continue;
            std::uint64_t index = indexOf(p), cls = classOf(p);
            bool ok = index < size && (seen[index] == ~0ull || seen[index] == cls);
            if (ok)
                seen[index] = cls;
            else if (++failures <= 5)
                ADD_FAILURE() << t.name << " side " << side << " index " << index << " for kings " << wk
                              << " " << bk << " pieces " << code;
        }
    }
}

} // namespace

TEST(TablebaseIndex, SizesMatchTheFormatNotes) {
    init();
    std::ifstream in(testsupport::dataPath("tablebase_sizes.txt"));
    int tables = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, second;
        std::uint64_t first;
        fields >> name >> first >> second;
        const TableInfo &t = Tables[findTable(name)];
        EXPECT_EQ(t.layout[0].size, first) << name;
        EXPECT_TRUE(second == "-" || t.sideSize(1) == std::stoull(second)) << name << ": " << t.sideSize(1);
        ++tables;
    }
    EXPECT_EQ(tables, 44);
}

// The published files: a split table has one file per 2^31 bytes of its side (which also
// confirms its value width), every other table one file per side.
TEST(TablebaseIndex, SplitTablesHaveThePublishedNumberOfFiles) {
    init();
    auto lines = tbtest::readLines(tbtest::oracleFile("nalimov/published-files-manifest.txt"));
    if (lines.empty()) GTEST_SKIP() << "no published manifest (reference data missing)";
    std::map<std::pair<std::string, int>, int> files;
    for (const std::string &line : lines) {
        // "DIST kqkr.nbw.emd SIZE ...", split tables "DIST kbbkbp.0.nbb.emd ..."
        std::string file = line.substr(5, line.find(' ', 5) - 5);
        std::size_t dot = file.find('.');
        ASSERT_TRUE(file.size() >= dot + 8 && file.compare(file.size() - 4, 4, ".emd") == 0) << line;
        ++files[{file.substr(0, dot), file[file.size() - 5] == 'b'}];
    }
    int sides = 0;
    for (const auto &[key, count] : files) {
        int id = findTable(key.first);
        ASSERT_NE(id, 0) << key.first;
        EXPECT_EQ(extentCount(Tables[id], key.second), count) << key.first << " side " << key.second;
        ++sides;
    }
    EXPECT_EQ(sides, 2 * 440 - 15); // no .nbb for the 6-piece tables with identical sides
}

// Every legal position of the 3-piece tables, and of each 4-piece table with the kings on a few
// squares, gets an index below the size that no other position (up to symmetry) shares.
TEST(TablebaseIndex, LegalPositionsGetDistinctIndices) {
    init();
    int failures = 0;
    std::vector<std::pair<unsigned, unsigned>> allKings,
        someKings = {{0, 18}, {9, 63}, {27, 0}, {3, 45}, {36, 9}};
    for (unsigned a = 0; a < 64; ++a)
        for (unsigned b = 0; b < 64; ++b)
            allKings.push_back({a, b});
    for (int id = 1; id < FIRST_FIVE_PIECE; ++id) {
        const TableInfo &t = Tables[id];
        for (int side = 0; side < ((t.flags & TABLE_SYMMETRIC) ? 1 : 2); ++side)
            checkDistinct(t, side, id < FIRST_FOUR_PIECE ? allKings : someKings, failures);
    }
    EXPECT_EQ(failures, 0);
}

// A position and its images share an index: the eight board symmetries without pawns (except
// the diagonal reflection with both kings on one long diagonal), the left-right mirror with
// pawns, and the colour swap.
TEST(TablebaseIndex, SymmetricImagesShareTheIndex) {
    init();
    std::mt19937 random(11);
    int failures = 0;
    for (int id = 1; id < TABLE_COUNT; ++id) {
        const TableInfo &t = Tables[id];
        int pieces = 2 + t.material.count[0] + t.material.count[1];
        tbgen::Space space = tbgen::makeSpace(t);
        for (int trial = 0; trial < 40; ++trial) {
            Placement p{&t, {}, int(random() & 1)};
            for (int i = 0; i < pieces; ++i)
                p.sq[i] = random() & 63;
            if (!legal(space, p)) continue;
            std::uint64_t index = indexOf(p);
            auto onLongDiagonal = [](unsigned s) { return (s >> 3) == (s & 7) || (s >> 3) + (s & 7) == 7; };
            bool kingsOnDiagonal = onLongDiagonal(p.sq[0]) && onLongDiagonal(p.sq[1]) &&
                                   ((p.sq[0] >> 3) == (p.sq[0] & 7)) == ((p.sq[1] >> 3) == (p.sq[1] & 7));
            for (int sym = 1; sym < (t.material.pawns ? 2 : 8); ++sym) {
                Placement image = p;
                for (int i = 0; i < pieces; ++i)
                    image.sq[i] = transform(p.sq[i], sym);
                if (kingsOnDiagonal && (sym & 4)) continue;
                if (indexOf(image) != index && ++failures <= 5)
                    ADD_FAILURE() << t.name << " symmetry " << sym;
            }
            // The colour swap: the second side as White, ranks mirrored, the same side to move. (A
            // table with equal material but two files, kpkp, keeps the swapped position in the
            // other file.)
            if (std::string(t.name) == "kpkp") continue;
            unsigned white[16], black[16];
            int wc[5], bc[5];
            lists(p, white, black, wc, bc);
            for (unsigned &s : white)
                s ^= 56;
            for (unsigned &s : black)
                s ^= 56;
            TableSpot swapped;
            bool found = locate(black, white, bc, wc, 1 - p.side, 127, swapped);
            if ((!found || swapped.index != index) && ++failures <= 5)
                ADD_FAILURE() << t.name << " colour swap";
        }
    }
    EXPECT_EQ(failures, 0);
}

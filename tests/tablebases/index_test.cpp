// The index functions: table sizes, split files, distinct indices for distinct positions, and
// equal indices for a position's symmetric images.
#include "tablebases/tb_support.h"

#include "position/attacks.h"
#include "tbgen/board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

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
    struct Size {
        const char *name;
        std::uint64_t first, second;
    };
    const Size sizes[] = {{"kpk", 81664, 84012},
                          {"knk", 26282, 28644},
                          {"kbk", 27243, 28644},
                          {"krk", 27036, 28644},
                          {"kqk", 25635, 28644},
                          {"kpkp", 3863492, 3863492},
                          {"knkp", 4931904, 4981504},
                          {"knkn", 1603202, 1603202},
                          {"kbkp", 5112000, 4981504},
                          {"kbkn", 1661823, 1603202},
                          {"kbkb", 1661823, 1661823},
                          {"krkp", 5072832, 4981504},
                          {"krkn", 1649196, 1603202},
                          {"krkb", 1649196, 1661823},
                          {"krkr", 1649196, 1649196},
                          {"kqkp", 4810176, 4981504},
                          {"kqkn", 1563735, 1603202},
                          {"kqkb", 1563735, 1661823},
                          {"kqkr", 1563735, 1649196},
                          {"kqkq", 1563735, 1563735},
                          {"kppk", 1806671, 1912372},
                          {"knpk", 4648581, 5124732},
                          {"knnk", 735304, 873642},
                          {"kbpk", 4817128, 5124732},
                          {"kbnk", 1550621, 1747284},
                          {"kbbk", 789885, 873642},
                          {"krpk", 4779624, 5124732},
                          {"krnk", 1538479, 1747284},
                          {"krbk", 1594560, 1747284},
                          {"krrk", 777639, 873642},
                          {"kqpk", 4533584, 5124732},
                          {"kqnk", 1459616, 1747284},
                          {"kqbk", 1512507, 1747284},
                          {"kqrk", 1500642, 1747284},
                          {"kqqk", 699072, 873642},
                          {"kppkp", 84219362, 89391280},
                          {"knpkp", 219921779, 231758952},
                          {"kqqkq", 41944320, 46912050},
                          {"kqqqk", 12489057, 17472840},
                          {"knnknn", 1301488080, 1301488080},
                          {"kqrkqr", 5312272680, 5312272680},
                          {"kbnknp", 17168388288, 16455976740},
                          {"kqqpkq", 7297961576, 8514011520}};
    for (const Size &s : sizes) {
        const TableInfo &t = Tables[findTable(s.name)];
        EXPECT_EQ(t.layout[0].size, s.first) << s.name;
        EXPECT_EQ(t.sideSize(1), s.second) << s.name;
    }
    EXPECT_EQ(Tables[findTable("kppkpp")].layout[0].size, 1917741813u);
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

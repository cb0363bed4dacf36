#include "tablebases/tables.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

namespace tablebases {

TableInfo Tables[TABLE_COUNT];

namespace {

// The tables in id order. Ids 36-440 follow a nested order (first side's pieces, then the
// second side's) that matches the known end points but is otherwise a reconstruction.
constexpr const char *TABLE_NAMES[TABLE_COUNT - 1] = {
    "kpk",    "knk",    "kbk",    "krk",    "kqk",    "kpkp",   "knkp",   "knkn",   "kbkp",   "kbkn",
    "kbkb",   "krkp",   "krkn",   "krkb",   "krkr",   "kqkp",   "kqkn",   "kqkb",   "kqkr",   "kqkq",
    "kppk",   "knpk",   "knnk",   "kbpk",   "kbnk",   "kbbk",   "krpk",   "krnk",   "krbk",   "krrk",
    "kqpk",   "kqnk",   "kqbk",   "kqrk",   "kqqk",   "kppkp",  "kppkn",  "kppkb",  "kppkr",  "kppkq",
    "knpkp",  "knpkn",  "knpkb",  "knpkr",  "knpkq",  "knnkp",  "knnkn",  "knnkb",  "knnkr",  "knnkq",
    "kbpkp",  "kbpkn",  "kbpkb",  "kbpkr",  "kbpkq",  "kbnkp",  "kbnkn",  "kbnkb",  "kbnkr",  "kbnkq",
    "kbbkp",  "kbbkn",  "kbbkb",  "kbbkr",  "kbbkq",  "krpkp",  "krpkn",  "krpkb",  "krpkr",  "krpkq",
    "krnkp",  "krnkn",  "krnkb",  "krnkr",  "krnkq",  "krbkp",  "krbkn",  "krbkb",  "krbkr",  "krbkq",
    "krrkp",  "krrkn",  "krrkb",  "krrkr",  "krrkq",  "kqpkp",  "kqpkn",  "kqpkb",  "kqpkr",  "kqpkq",
    "kqnkp",  "kqnkn",  "kqnkb",  "kqnkr",  "kqnkq",  "kqbkp",  "kqbkn",  "kqbkb",  "kqbkr",  "kqbkq",
    "kqrkp",  "kqrkn",  "kqrkb",  "kqrkr",  "kqrkq",  "kqqkp",  "kqqkn",  "kqqkb",  "kqqkr",  "kqqkq",
    "kpppk",  "knppk",  "knnpk",  "knnnk",  "kbppk",  "kbnpk",  "kbnnk",  "kbbpk",  "kbbnk",  "kbbbk",
    "krppk",  "krnpk",  "krnnk",  "krbpk",  "krbnk",  "krbbk",  "krrpk",  "krrnk",  "krrbk",  "krrrk",
    "kqppk",  "kqnpk",  "kqnnk",  "kqbpk",  "kqbnk",  "kqbbk",  "kqrpk",  "kqrnk",  "kqrbk",  "kqrrk",
    "kqqpk",  "kqqnk",  "kqqbk",  "kqqrk",  "kqqqk",  "knnknn", "kbnknn", "kbnkbn", "kbbknn", "kbbkbn",
    "kbbkbb", "krnknn", "krnkbn", "krnkbb", "krnkrn", "krbknn", "krbkbn", "krbkbb", "krbkrn", "krbkrb",
    "krrknn", "krrkbn", "krrkbb", "krrkrn", "krrkrb", "krrkrr", "kqnknn", "kqnkbn", "kqnkbb", "kqnkrn",
    "kqnkrb", "kqnkrr", "kqnkqn", "kqbknn", "kqbkbn", "kqbkbb", "kqbkrn", "kqbkrb", "kqbkrr", "kqbkqn",
    "kqbkqb", "kqrknn", "kqrkbn", "kqrkbb", "kqrkrn", "kqrkrb", "kqrkrr", "kqrkqn", "kqrkqb", "kqrkqr",
    "kqqknn", "kqqkbn", "kqqkbb", "kqqkrn", "kqqkrb", "kqqkrr", "kqqkqn", "kqqkqb", "kqqkqr", "kqqkqq",
    "knnnkn", "knnnkb", "knnnkr", "knnnkq", "kbnnkn", "kbnnkb", "kbnnkr", "kbnnkq", "kbbnkn", "kbbnkb",
    "kbbnkr", "kbbnkq", "kbbbkn", "kbbbkb", "kbbbkr", "kbbbkq", "krnnkn", "krnnkb", "krnnkr", "krnnkq",
    "krbnkn", "krbnkb", "krbnkr", "krbnkq", "krbbkn", "krbbkb", "krbbkr", "krbbkq", "krrnkn", "krrnkb",
    "krrnkr", "krrnkq", "krrbkn", "krrbkb", "krrbkr", "krrbkq", "krrrkn", "krrrkb", "krrrkr", "krrrkq",
    "kqnnkn", "kqnnkb", "kqnnkr", "kqnnkq", "kqbnkn", "kqbnkb", "kqbnkr", "kqbnkq", "kqbbkn", "kqbbkb",
    "kqbbkr", "kqbbkq", "kqrnkn", "kqrnkb", "kqrnkr", "kqrnkq", "kqrbkn", "kqrbkb", "kqrbkr", "kqrbkq",
    "kqrrkn", "kqrrkb", "kqrrkr", "kqrrkq", "kqqnkn", "kqqnkb", "kqqnkr", "kqqnkq", "kqqbkn", "kqqbkb",
    "kqqbkr", "kqqbkq", "kqqrkn", "kqqrkb", "kqqrkr", "kqqrkq", "kqqqkn", "kqqqkb", "kqqqkr", "kqqqkq",
    "kppkpp", "knpkpp", "knpknp", "knnkpp", "knnknp", "kbpkpp", "kbpknp", "kbpknn", "kbpkbp", "kbnkpp",
    "kbnknp", "kbnkbp", "kbbkpp", "kbbknp", "kbbkbp", "krpkpp", "krpknp", "krpknn", "krpkbp", "krpkbn",
    "krpkbb", "krpkrp", "krnkpp", "krnknp", "krnkbp", "krnkrp", "krbkpp", "krbknp", "krbkbp", "krbkrp",
    "krrkpp", "krrknp", "krrkbp", "krrkrp", "kqpkpp", "kqpknp", "kqpknn", "kqpkbp", "kqpkbn", "kqpkbb",
    "kqpkrp", "kqpkrn", "kqpkrb", "kqpkrr", "kqpkqp", "kqnkpp", "kqnknp", "kqnkbp", "kqnkrp", "kqnkqp",
    "kqbkpp", "kqbknp", "kqbkbp", "kqbkrp", "kqbkqp", "kqrkpp", "kqrknp", "kqrkbp", "kqrkrp", "kqrkqp",
    "kqqkpp", "kqqknp", "kqqkbp", "kqqkrp", "kqqkqp", "knnnkp", "kbnnkp", "kbbnkp", "kbbbkp", "krnnkp",
    "krbnkp", "krbbkp", "krrnkp", "krrbkp", "krrrkp", "kqnnkp", "kqbnkp", "kqbbkp", "kqrnkp", "kqrbkp",
    "kqrrkp", "kqqnkp", "kqqbkp", "kqqrkp", "kqqqkp", "kpppkp", "kpppkn", "kpppkb", "kpppkr", "kpppkq",
    "knppkp", "knppkn", "knppkb", "knppkr", "knppkq", "knnpkp", "knnpkn", "knnpkb", "knnpkr", "knnpkq",
    "kbppkp", "kbppkn", "kbppkb", "kbppkr", "kbppkq", "kbnpkp", "kbnpkn", "kbnpkb", "kbnpkr", "kbnpkq",
    "kbbpkp", "kbbpkn", "kbbpkb", "kbbpkr", "kbbpkq", "krppkp", "krppkn", "krppkb", "krppkr", "krppkq",
    "krnpkp", "krnpkn", "krnpkb", "krnpkr", "krnpkq", "krbpkp", "krbpkn", "krbpkb", "krbpkr", "krbpkq",
    "krrpkp", "krrpkn", "krrpkb", "krrpkr", "krrpkq", "kqppkp", "kqppkn", "kqppkb", "kqppkr", "kqppkq",
    "kqnpkp", "kqnpkn", "kqnpkb", "kqnpkr", "kqnpkq", "kqbpkp", "kqbpkn", "kqbpkb", "kqbpkr", "kqbpkq",
    "kqrpkp", "kqrpkn", "kqrpkb", "kqrpkr", "kqrpkq", "kqqpkp", "kqqpkn", "kqqpkb", "kqqpkr", "kqqpkq",
};

// One file serves both sides to move.
constexpr const char *SYMMETRIC_TABLES =
    "knkn kbkb krkr kqkq knnknn kbnkbn kbbkbb krnkrn krbkrb krrkrr kqnkqn kqbkqb kqrkqr kqqkqq kppkpp "
    "knpknp kbpkbp krpkrp kqpkqp";
// Values take two bytes. The first nine are not confirmed by the published extent counts.
constexpr const char *TWO_BYTE_TABLES =
    "krnknn krnkbb krbknn kqnkrr krnkbn kppkpp knpkpp knnkpp knnknp kbpkpp kbpknp kbpknn kbnkpp kbnknp "
    "kbbknp krpkpp krpknp krpknn krpkbp krpkbn krpkbb krnkpp krnknp krnkbp krbkpp krbknp krrkpp krrknp "
    "kqpkpp kqpkrb kqpkrr kqpkqp kqnkpp kqnkqp kqbkqp kqrkqp kpppkp knppkp kbppkp kbnpkp kbbpkp krppkp "
    "krnpkp krbpkp krrpkp kqppkp kqnpkp kqbpkp kbppkr kbnpkr kbbpkr kpppkq knppkq kbppkq kbnpkq kbbpkq "
    "krppkq krnpkq krbpkq krrpkq kqppkq kqnpkq kqbpkq kqrpkq";
// Published as several files of at most 2^31 bytes each.
constexpr const char *SPLIT_TABLES =
    "kbbkbp kbbknp kbbnkp kbbpkb kbbpkn kbbpkp kbbpkq kbbpkr kbnkbp kbnknp kbnkpp kbnnkp kbnpkb kbnpkn "
    "kbnpkp kbnpkq kbnpkr kbpkbp kbpknn kbpknp kbpkpp kbppkb kbppkn kbppkp kbppkq kbppkr knnknp knnpkb "
    "knnpkn knnpkp knnpkq knnpkr knpknp knpkpp knppkb knppkn knppkp knppkq knppkr kqbbkp kqbkbp kqbknp "
    "kqbkpp kqbkqp kqbkrb kqbkrn kqbkrp kqbnkp kqbnkq kqbpkb kqbpkn kqbpkp kqbpkq kqbpkr kqnkbp kqnknp "
    "kqnkpp kqnkqp kqnkrb kqnkrn kqnkrp kqnnkp kqnpkb kqnpkn kqnpkp kqnpkq kqnpkr kqpkbb kqpkbn kqpkbp "
    "kqpknn kqpknp kqpkpp kqpkqp kqpkrb kqpkrn kqpkrp kqpkrr kqppkb kqppkn kqppkp kqppkq kqppkr kqqbkp "
    "kqqkbp kqqknp kqqkqp kqqkrp kqqnkp kqqpkb kqqpkn kqqpkp kqqpkq kqqpkr kqqrkp kqrbkp kqrkbp kqrknp "
    "kqrkpp kqrkqp kqrkrp kqrnkp kqrpkb kqrpkn kqrpkp kqrpkq kqrpkr kqrrkp krbbkp krbkbn krbkbp krbknp "
    "krbkpp krbkrp krbnkp krbpkb krbpkn krbpkp krbpkq krbpkr krnkbn krnkbp krnknp krnkpp krnkrp krnnkp "
    "krnpkb krnpkn krnpkp krnpkq krnpkr krpkbb krpkbn krpkbp krpknn krpknp krpkpp krpkrp krppkb krppkn "
    "krppkp krppkq krppkr krrbkp krrkbp krrknp krrkrp krrnkp krrpkb krrpkn krrpkp krrpkq krrpkr";

constexpr int COMBINATIONS = 126; // piece counts of five kinds that sum to at most 4

// MaterialRank[p + 5n + 25b + 125r + 625q]: a number for each combination, -1 beyond 4 pieces.
std::int16_t MaterialRank[3125];
std::int16_t TableByMaterial[COMBINATIONS][COMBINATIONS];
std::once_flag ListBuilt;

bool listed(const char *list, std::string_view name) {
    std::string_view all(list);
    for (std::size_t at = all.find(name); at != std::string_view::npos; at = all.find(name, at + 1)) {
        bool startOk = at == 0 || all[at - 1] == ' ';
        bool endOk = at + name.size() == all.size() || all[at + name.size()] == ' ';
        if (startOk && endOk) return true;
    }
    return false;
}

int kindOfLetter(char c) { return int(std::string_view("pnbrq").find(c)); }

int materialKey(const int *count) {
    int key = 0;
    for (int k = KIND_COUNT - 1; k >= 0; --k) {
        if (count[k] < 0 || count[k] > 4) return -1;
        key = key * 5 + count[k];
    }
    return MaterialRank[key];
}

void buildList() {
    int rank = 0;
    for (int key = 0; key < 3125; ++key) {
        int sum = 0;
        for (int v = key; v; v /= 5)
            sum += v % 5;
        MaterialRank[key] = sum <= 4 ? std::int16_t(rank++) : std::int16_t(-1);
    }
    std::memset(TableByMaterial, 0, sizeof TableByMaterial);
    for (int id = 1; id < TABLE_COUNT; ++id) {
        TableInfo &t = Tables[id];
        t.id = id;
        t.name = TABLE_NAMES[id - 1];
        std::string_view name(t.name);
        t.flags = 0;
        if (listed(SYMMETRIC_TABLES, name)) t.flags |= TABLE_SYMMETRIC;
        if (listed(TWO_BYTE_TABLES, name)) t.flags |= TABLE_TWO_BYTE;
        if (listed(SPLIT_TABLES, name)) t.flags |= TABLE_SPLIT;
        int counts[2][KIND_COUNT] = {};
        Material &m = t.material;
        m = {};
        int side = -1;
        for (char c : name) {
            if (c == 'k') {
                ++side;
                continue;
            }
            int k = kindOfLetter(c);
            m.kinds[side][m.count[side]++] = Kind(k);
            ++counts[side][k];
            if (k == KIND_PAWN) m.pawns = true;
        }
        for (int s = 0; s < 2; ++s)
            t.layout[s] = buildLayout(m, s);
        t.size = std::max(t.layout[0].size, t.layout[1].size);
        int a = materialKey(counts[0]), b = materialKey(counts[1]);
        TableByMaterial[a][b] = std::int16_t(id);
        if (!(t.flags & TABLE_SYMMETRIC) && a != b) TableByMaterial[b][a] = std::int16_t(-id);
    }
}

} // namespace

void initTableList() { std::call_once(ListBuilt, buildList); }

int findTable(std::string_view name) {
    initTableList();
    for (int id = 1; id < TABLE_COUNT; ++id)
        if (name == Tables[id].name) return id;
    return 0;
}

int lookupMaterial(const int white[KIND_COUNT], const int black[KIND_COUNT]) {
    int a = materialKey(white), b = materialKey(black);
    return a < 0 || b < 0 ? 0 : TableByMaterial[a][b];
}

int fileSide(int signedId, int sideToMove) {
    bool firstToMove = (sideToMove == 0) != (signedId < 0);
    return firstToMove || (Tables[signedId < 0 ? -signedId : signedId].flags & TABLE_SYMMETRIC) ? 0 : 1;
}

int extentCount(const TableInfo &t, int side) {
    if (!(t.flags & TABLE_SPLIT)) return 1;
    return int((t.sideSize(side) * std::uint64_t(t.bytesPerValue())) >> 31) + 1;
}

bool locate(const unsigned *white, const unsigned *black, const int *whiteCount, const int *blackCount,
            int sideToMove, unsigned ep, TableSpot &spot) {
    int id = lookupMaterial(whiteCount, blackCount);
    if (id == 0) return false;
    bool flip = id < 0;
    const TableInfo &t = Tables[flip ? -id : id];
    const unsigned *first = flip ? black : white, *second = flip ? white : black;
    bool firstToMove = (sideToMove == 0) != flip;
    int side = firstToMove ? 0 : 1;
    if (!firstToMove && (t.flags & TABLE_SYMMETRIC)) {
        // One file for both sides: the side to move becomes the first side.
        std::swap(first, second);
        flip = !flip;
        side = 0;
    }
    spot.id = t.id;
    spot.side = side;
    spot.index = tableIndex(t.material, t.layout[side], side, first, second, ep, flip);
    return spot.index != NO_INDEX;
}

} // namespace tablebases

#include "tablebases/groups.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace tablebases {

std::int16_t TriPair[64][64];
std::int16_t HalfPair[64][64];

namespace {

// The squares a piece of each kind may stand on relative to the other king: not the king's
// square, not a square from which it would give contact check, and rows 2 to 7 for pawns.
// LegalRank[kind][king][square] is the square's rank among them, -1 when it is excluded.
std::int8_t LegalRank[GK_COUNT][64][64];
std::int8_t LegalCount[GK_COUNT][64];

// The king pairs in their numbering order, to sum the per-pair counts.
unsigned TriFirst[TRI_PAIRS], TriSecond[TRI_PAIRS];
unsigned HalfFirst[HALF_PAIRS], HalfSecond[HALF_PAIRS];

std::vector<std::unique_ptr<Group>> Groups;
std::once_flag TablesBuilt;

int rowOf(unsigned s) { return int(s >> 3); }
int colOf(unsigned s) { return int(s & 7); }
bool adjacent(unsigned a, unsigned b) {
    return a != b && std::abs(rowOf(a) - rowOf(b)) <= 1 && std::abs(colOf(a) - colOf(b)) <= 1;
}

// Does a piece of this kind on s give contact check to a king on k?
bool contactCheck(GroupKind kind, unsigned s, unsigned k) {
    int dr = rowOf(k) - rowOf(s), dc = colOf(k) - colOf(s);
    int ar = std::abs(dr), ac = std::abs(dc);
    switch (kind) {
    case GK_Q: return adjacent(s, k);
    case GK_R: return ar + ac == 1;
    case GK_B: return ar == 1 && ac == 1;
    case GK_N: return (ar == 1 && ac == 2) || (ar == 2 && ac == 1);
    case GK_P: return (k == s + 7 && colOf(s) != 0) || (k == s + 9 && colOf(s) != 7);
    default: return false;
    }
}

void buildTables() {
    int tri = 0, half = 0;
    for (unsigned k1 = 0; k1 < 64; ++k1)
        for (unsigned k2 = 0; k2 < 64; ++k2) {
            TriPair[k1][k2] = HalfPair[k1][k2] = -1;
            if (k1 == k2 || adjacent(k1, k2)) continue;
            bool inTriangle = rowOf(k1) <= colOf(k1) && colOf(k1) <= 3;
            bool onDiagonal = rowOf(k1) == colOf(k1);
            if (inTriangle && (!onDiagonal || rowOf(k2) <= colOf(k2))) {
                TriFirst[tri] = k1, TriSecond[tri] = k2;
                TriPair[k1][k2] = std::int16_t(tri++);
            }
            if (colOf(k1) <= 3) {
                HalfFirst[half] = k1, HalfSecond[half] = k2;
                HalfPair[k1][k2] = std::int16_t(half++);
            }
        }
    for (int kind = 0; kind < GK_COUNT; ++kind)
        for (unsigned k = 0; k < 64; ++k) {
            int n = 0;
            bool pawn = kind == GK_P || kind == GK_P0;
            for (unsigned s = 0; s < 64; ++s) {
                bool ok = s != k && !(pawn && (s < 8 || s > 55)) && !contactCheck(GroupKind(kind), s, k);
                LegalRank[kind][k][s] = ok ? std::int8_t(n++) : std::int8_t(-1);
            }
            LegalCount[kind][k] = std::int8_t(n);
        }
}

// The number of placements of the group's pieces for one king pair.
std::uint64_t pairCount(const Group &g, unsigned k1, unsigned k2) {
    std::int64_t n[3];
    for (int i = 0; i < g.count; ++i)
        n[i] = LegalCount[g.kinds[i]][k2] - (LegalRank[g.kinds[i]][k2][k1] >= 0 ? 1 : 0);
    const GroupKind *t = g.kinds;
    switch (g.count) {
    case 0: return 1;
    case 1: return std::uint64_t(n[0]);
    case 2: return std::uint64_t(t[0] == t[1] ? choose2(n[0]) : n[0] * n[1]);
    default:
        if (t[0] == t[1] && t[1] == t[2]) return std::uint64_t(choose3(n[0]));
        if (t[0] == t[1]) return std::uint64_t(choose2(n[0]) * n[2]);
        if (t[1] == t[2]) return std::uint64_t(n[0] * choose2(n[1]));
        return std::uint64_t(n[0] * n[1] * n[2]);
    }
}

} // namespace

void initGroups() { std::call_once(TablesBuilt, buildTables); }

const Group *findGroup(const GroupKind *kinds, int count, bool half) {
    for (const auto &g : Groups)
        if (g->count == count && g->half == half && std::equal(kinds, kinds + count, g->kinds))
            return g.get();
    auto g = std::make_unique<Group>();
    g->count = count;
    g->half = half;
    std::copy(kinds, kinds + count, g->kinds);
    std::uint64_t sum = 0;
    int pairs = half ? HALF_PAIRS : TRI_PAIRS;
    for (int kp = 0; kp < pairs; ++kp) {
        g->offset[kp] = sum;
        sum +=
            half ? pairCount(*g, HalfFirst[kp], HalfSecond[kp]) : pairCount(*g, TriFirst[kp], TriSecond[kp]);
    }
    g->total = sum;
    Groups.push_back(std::move(g));
    return Groups.back().get();
}

std::uint64_t groupIndex(const Group &g, unsigned k1, unsigned k2, const unsigned *squares) {
    int kp = g.half ? HalfPair[k1][k2] : TriPair[k1][k2];
    if (kp < 0) return NO_INDEX;
    if (g.count == 0) return std::uint64_t(kp);
    std::int64_t p[3], n[3];
    for (int i = 0; i < g.count; ++i) {
        const std::int8_t *rank = LegalRank[g.kinds[i]][k2];
        if (squares[i] > 63 || rank[squares[i]] < 0) return NO_INDEX;
        bool kingInside = rank[k1] >= 0;
        p[i] = rank[squares[i]] - (kingInside && squares[i] > k1 ? 1 : 0);
        n[i] = LegalCount[g.kinds[i]][k2] - (kingInside ? 1 : 0);
    }
    const GroupKind *t = g.kinds;
    std::int64_t v;
    switch (g.count) {
    case 1: v = p[0]; break;
    case 2:
        if (t[0] == t[1]) {
            if (p[0] > p[1]) std::swap(p[0], p[1]);
            if (p[0] == p[1]) return NO_INDEX;
            v = choose2(p[1]) + p[0];
        } else {
            v = p[0] * n[1] + p[1];
        }
        break;
    default:
        if (t[0] == t[1] && t[1] == t[2]) {
            std::sort(p, p + 3);
            if (p[0] == p[1] || p[1] == p[2]) return NO_INDEX;
            v = choose3(p[2]) + choose2(p[1]) + p[0];
        } else if (t[0] == t[1]) {
            if (p[0] > p[1]) std::swap(p[0], p[1]);
            if (p[0] == p[1]) return NO_INDEX;
            v = (choose2(p[1]) + p[0]) * n[2] + p[2];
        } else if (t[1] == t[2]) {
            if (p[1] > p[2]) std::swap(p[1], p[2]);
            if (p[1] == p[2]) return NO_INDEX;
            v = (choose2(p[2]) + p[1]) * n[0] + p[0];
        } else {
            v = (p[0] * n[1] + p[1]) * n[2] + p[2];
        }
    }
    return g.offset[kp] + std::uint64_t(v);
}

} // namespace tablebases

#include "position/attacks.h"

#include "position/magics.h"

#include <vector>

namespace position {

Bitboard KingAttacks[64];
Bitboard KnightAttacks[64];
Bitboard RookLines[64];
Bitboard BishopLines[64];
Bitboard QueenLines[64];
Bitboard Diagonals[15];
Bitboard AntiDiagonals[15];
std::uint8_t RankAttacks[64][8];
Bitboard Between[64][64];
MagicEntry RookMagic[64];
MagicEntry BishopMagic[64];

namespace {

constexpr Bitboard LONG_DIAGONAL = 0x8040201008040201ULL;      // h1-a8
constexpr Bitboard LONG_ANTI_DIAGONAL = 0x0102040810204080ULL; // a1-h8

std::vector<Bitboard> MagicTable; // rook regions, then bishop regions
std::size_t RookRegionEntries = 0;

// One step towards a neighbouring square, guarding against wrap-around: towards the a-file
// is +1 and must not leave the a-file, towards the h-file is -1.
Bitboard shiftBy(Bitboard b, int fileStep, int rankStep) {
    if (fileStep > 0) b = (b & NOT_FILE_A) << 1;
    if (fileStep < 0) b = (b & NOT_FILE_H) >> 1;
    if (rankStep > 0) b <<= 8 * rankStep;
    if (rankStep < 0) b >>= 8 * -rankStep;
    return b;
}

Bitboard rayFill(Square sq, Bitboard occ, int df, int dr, bool stopBeforeEdge) {
    Bitboard result = 0;
    int f = fileOf(sq), r = rankOf(sq);
    for (;;) {
        f += df;
        r += dr;
        if (f < 0 || f > 7 || r < 0 || r > 7) break;
        if (stopBeforeEdge) {
            int nf = f + df, nr = r + dr;
            if (nf < 0 || nf > 7 || nr < 0 || nr > 7) break;
        }
        Bitboard b = squareBit(makeSquare(f, r));
        result |= b;
        if (occ & b) break;
    }
    return result;
}

constexpr int ROOK_DIRS[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr int BISHOP_DIRS[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};

Bitboard fill(Square sq, Bitboard occ, const int (*dirs)[2], bool relevantOnly) {
    Bitboard b = 0;
    for (int d = 0; d < 4; ++d) b |= rayFill(sq, occ, dirs[d][0], dirs[d][1], relevantOnly);
    return b;
}

void buildStepTables() {
    constexpr int jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (Square sq = 0; sq < 64; ++sq) {
        Bitboard b = SquareBit[sq];
        Bitboard king = 0, knight = 0;
        for (int df = -1; df <= 1; ++df)
            for (int dr = -1; dr <= 1; ++dr)
                if (df || dr) king |= shiftBy(b, df, dr);
        for (const auto &j : jumps) {
            // File steps one at a time so each one is guarded against wrap-around.
            Bitboard t = b;
            for (int k = 0; k < (j[0] < 0 ? -j[0] : j[0]); ++k) t = shiftBy(t, j[0] > 0 ? 1 : -1, 0);
            knight |= shiftBy(t, 0, j[1]);
        }
        KingAttacks[sq] = king;
        KnightAttacks[sq] = knight;
    }
    // Diagonals: shift the long diagonals by whole ranks.
    for (int i = -7; i <= 7; ++i) {
        Diagonals[i + 7] = i >= 0 ? LONG_DIAGONAL << (8 * i) : LONG_DIAGONAL >> (8 * -i);
        AntiDiagonals[i + 7] = i >= 0 ? LONG_ANTI_DIAGONAL << (8 * i) : LONG_ANTI_DIAGONAL >> (8 * -i);
    }
    for (Square sq = 0; sq < 64; ++sq) {
        int r = rankOf(sq), f = fileOf(sq);
        RookLines[sq] = RANK_MASK[r] ^ FILE_MASK[f];
        BishopLines[sq] = Diagonals[r - f + 7] ^ AntiDiagonals[r - (7 - f) + 7];
        QueenLines[sq] = RookLines[sq] | BishopLines[sq];
    }
    for (int p = 0; p < 64; ++p)
        for (int f = 0; f < 8; ++f) {
            unsigned occ = unsigned(2 * p), attacks = 0;
            for (int g = f + 1; g < 8; ++g) {
                attacks |= 1u << g;
                if (occ & (1u << g)) break;
            }
            for (int g = f - 1; g >= 0; --g) {
                attacks |= 1u << g;
                if (occ & (1u << g)) break;
            }
            RankAttacks[p][f] = std::uint8_t(attacks);
        }
}

// Region offset of each group: regions follow one another, each as long as the largest index
// any of its squares produces, plus one. Returns the total length.
std::size_t layOutRegions(MagicEntry *entries, const std::uint64_t *multipliers, int (*group)(Square),
                          Bitboard (*relevant)(Square), const Bitboard *lines, std::size_t offset,
                          std::size_t *squareOffset) {
    for (Square sq = 0; sq < 64; ++sq) entries[sq] = {nullptr, multipliers[sq], relevant(sq), lines[sq]};
    std::size_t start = offset;
    for (int g = 0;; ++g) {
        std::size_t largest = 0;
        bool any = false;
        for (Square sq = 0; sq < 64; ++sq) {
            if (group(sq) != g) continue;
            any = true;
            squareOffset[sq] = offset;
            const MagicEntry &m = entries[sq];
            Bitboard occ = 0;
            do {
                std::size_t index = magicIndex(m, occ);
                if (index > largest) largest = index;
                occ = (occ - m.mask) & m.mask;
            } while (occ);
        }
        if (!any) break;
        offset += largest + 1;
    }
    return offset - start;
}

void fillRegions(MagicEntry *entries, const std::size_t *squareOffset, Bitboard (*slow)(Square, Bitboard)) {
    for (Square sq = 0; sq < 64; ++sq) {
        MagicEntry &m = entries[sq];
        Bitboard *region = MagicTable.data() + squareOffset[sq];
        m.region = region;
        Bitboard occ = 0;
        do {
            region[magicIndex(m, occ)] |= slow(sq, occ);
            occ = (occ - m.mask) & m.mask;
        } while (occ);
    }
}

} // namespace

Bitboard slowRookAttacks(Square sq, Bitboard occ) { return fill(sq, occ, ROOK_DIRS, false); }
Bitboard slowBishopAttacks(Square sq, Bitboard occ) { return fill(sq, occ, BISHOP_DIRS, false); }
Bitboard rookRelevantMask(Square sq) { return fill(sq, 0, ROOK_DIRS, true); }
Bitboard bishopRelevantMask(Square sq) { return fill(sq, 0, BISHOP_DIRS, true); }

int rookGroup(Square sq) { return 8 * (rankOf(sq) / 2) + (fileOf(sq) ^ (rankOf(sq) % 2)); }

int bishopGroup(Square sq) {
    int f = fileOf(sq), r = rankOf(sq), upper = r >= 4;
    switch (f) {
    case 0: return upper;      // h-file
    case 1: return 2 + upper;  // g-file
    case 6: return 12 + upper; // b-file
    case 7: return 14 + upper; // a-file
    default: return 4 + r;     // files f, e, d, c of one rank
    }
}

std::size_t rookRegionSize() { return RookRegionEntries; }
std::size_t bishopRegionSize() { return MagicTable.size() - RookRegionEntries; }

Bitboard RankAttacksOf(Square sq, Bitboard occ) {
    int shift = 8 * rankOf(sq);
    unsigned pattern = unsigned((occ >> shift) >> 1) & 63;
    return Bitboard(RankAttacks[pattern][fileOf(sq)]) << shift;
}

void initAttackTables() {
    buildStepTables();
    std::size_t rookOffset[64], bishopOffset[64];
    RookRegionEntries =
        layOutRegions(RookMagic, ROOK_MULTIPLIERS, rookGroup, rookRelevantMask, RookLines, 0, rookOffset);
    std::size_t bishopEntries = layOutRegions(BishopMagic, BISHOP_MULTIPLIERS, bishopGroup, bishopRelevantMask,
                                              BishopLines, RookRegionEntries, bishopOffset);
    MagicTable.assign(RookRegionEntries + bishopEntries, 0);
    fillRegions(RookMagic, rookOffset, slowRookAttacks);
    fillRegions(BishopMagic, bishopOffset, slowBishopAttacks);
    for (Square a = 0; a < 64; ++a)
        for (Square b = 0; b < 64; ++b) {
            Bitboard ab = SquareBit[a] | SquareBit[b];
            if (RookLines[a] & SquareBit[b])
                Between[a][b] = slowRookAttacks(a, ab) & slowRookAttacks(b, ab);
            else if (BishopLines[a] & SquareBit[b])
                Between[a][b] = slowBishopAttacks(a, ab) & slowBishopAttacks(b, ab);
            else
                Between[a][b] = 0;
        }
}

} // namespace position

// Attack tables built once at start-up: king, knight, line and rank tables, and magic lookups
// for sliders. Magic regions are shared by groups of squares; a lookup ANDs the region entry
// with the square's full line mask to drop the other group members' bits.
#pragma once

#include "position/types.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace position {

inline constexpr Bitboard FILE_MASK[8] = {0x0101010101010101ULL << 0, 0x0101010101010101ULL << 1,
                                          0x0101010101010101ULL << 2, 0x0101010101010101ULL << 3,
                                          0x0101010101010101ULL << 4, 0x0101010101010101ULL << 5,
                                          0x0101010101010101ULL << 6, 0x0101010101010101ULL << 7};
inline constexpr Bitboard RANK_MASK[8] = {0xFFULL,       0xFFULL << 8,  0xFFULL << 16, 0xFFULL << 24,
                                          0xFFULL << 32, 0xFFULL << 40, 0xFFULL << 48, 0xFFULL << 56};
inline constexpr Bitboard FILE_H = FILE_MASK[0], FILE_A = FILE_MASK[7];
inline constexpr Bitboard NOT_FILE_A = ~FILE_A, NOT_FILE_H = ~FILE_H;

// 1 << sq for the 64 squares and 0 for the no-square value 64.
inline constexpr std::array<Bitboard, 65> SquareBit = [] {
    std::array<Bitboard, 65> t{};
    for (int i = 0; i < 64; ++i) t[std::size_t(i)] = Bitboard(1) << i;
    return t;
}();

extern Bitboard KingAttacks[64];
extern Bitboard KnightAttacks[64];
extern Bitboard RookLines[64];
extern Bitboard BishopLines[64];
extern Bitboard QueenLines[64];
extern Bitboard Diagonals[15];     // parallel to h1-a8, index rank - file + 7
extern Bitboard AntiDiagonals[15]; // parallel to a1-h8, index rank + file - 7 + 7
extern std::uint8_t RankAttacks[64][8];
// Squares strictly between two squares on a common line (empty when they share none).
extern Bitboard Between[64][64];

struct MagicEntry {
    const Bitboard *region;
    std::uint64_t multiplier; // the top six bits hold the right-shift amount
    Bitboard mask;            // relevant occupancy
    Bitboard lines;           // full line mask
};
extern MagicEntry RookMagic[64];
extern MagicEntry BishopMagic[64];

// Builds every table; call once before anything else.
void initAttackTables();

inline unsigned magicIndex(const MagicEntry &m, Bitboard occ) {
    return unsigned(((occ & m.mask) * m.multiplier) >> (m.multiplier >> 58));
}
inline Bitboard RookAttacks(Square sq, Bitboard occ) {
    const MagicEntry &m = RookMagic[sq];
    return m.region[magicIndex(m, occ)] & m.lines;
}
inline Bitboard BishopAttacks(Square sq, Bitboard occ) {
    const MagicEntry &m = BishopMagic[sq];
    return m.region[magicIndex(m, occ)] & m.lines;
}
inline Bitboard QueenAttacks(Square sq, Bitboard occ) { return RookAttacks(sq, occ) | BishopAttacks(sq, occ); }

Bitboard RankAttacksOf(Square sq, Bitboard occ);

inline Bitboard PawnAttacksOf(Colour c, Bitboard set) {
    return c == WHITE ? ((set & NOT_FILE_A) << 9) | ((set & NOT_FILE_H) << 7)
                      : ((set & NOT_FILE_H) >> 9) | ((set & NOT_FILE_A) >> 7);
}

// Direction-by-direction fills; the reference the magic tables are built from and tested against.
Bitboard slowRookAttacks(Square sq, Bitboard occ);
Bitboard slowBishopAttacks(Square sq, Bitboard occ);
Bitboard rookRelevantMask(Square sq);
Bitboard bishopRelevantMask(Square sq);
int rookGroup(Square sq);
int bishopGroup(Square sq);
// Total entries of the shared rook and bishop regions.
std::size_t rookRegionSize();
std::size_t bishopRegionSize();

} // namespace position

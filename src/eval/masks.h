// Square sets the evaluation reads: fills, fixed masks, king zones and bishop blockers.
#pragma once

#include "position/types.h"

#include <initializer_list>

namespace eval {

using position::Bitboard;

constexpr Bitboard LIGHT_SQUARES = 0xAA55AA55AA55AA55ULL; // h1 and a8 are light
constexpr Bitboard DARK_SQUARES = ~LIGHT_SQUARES;
constexpr Bitboard FILES_D_TO_A = 0xF0F0F0F0F0F0F0F0ULL;
constexpr Bitboard FILES_H_TO_E = 0x0F0F0F0F0F0F0F0FULL;
constexpr Bitboard RANK_7_MASK = 0xFF000000000000ULL;
constexpr Bitboard RANK_2_MASK = 0xFF00ULL;
constexpr Bitboard ALL_BUT_A_FILE = 0x7F7F7F7F7F7F7F7FULL;
constexpr Bitboard ALL_BUT_H_FILE = 0xFEFEFEFEFEFEFEFEULL;

// A square from its name, e.g. sq("e4").
constexpr position::Square sq(const char *name) { return position::textToSquare(name[0], name[1]); }
constexpr Bitboard bit(const char *name) { return Bitboard(1) << sq(name); }
constexpr Bitboard squares(std::initializer_list<const char *> names) {
    Bitboard b = 0;
    for (const char *n : names)
        b |= bit(n);
    return b;
}

// Vertical mirror (a1 <-> a8): White's set seen from Black's side.
constexpr Bitboard flipVertical(Bitboard b) { return __builtin_bswap64(b); }
// A White-side set as it applies to colour c.
constexpr Bitboard forColour(position::Colour c, Bitboard whiteSet) {
    return c == position::WHITE ? whiteSet : flipVertical(whiteSet);
}

constexpr Bitboard northFill(Bitboard b) {
    b |= b << 8;
    b |= b << 16;
    return b | (b << 32);
}
constexpr Bitboard southFill(Bitboard b) {
    b |= b >> 8;
    b |= b >> 16;
    return b | (b >> 32);
}
// Towards the opponent's back rank of colour c.
constexpr Bitboard forwardFill(position::Colour c, Bitboard b) {
    return c == position::WHITE ? northFill(b) : southFill(b);
}
constexpr Bitboard forwardOne(position::Colour c, Bitboard b) {
    return c == position::WHITE ? b << 8 : b >> 8;
}
// The two neighbouring files of every square in b.
constexpr Bitboard sideways(Bitboard b) { return ((b & ALL_BUT_A_FILE) << 1) | ((b & ALL_BUT_H_FILE) >> 1); }

// Zone of a king of colour c on a square: the square, its neighbours and the three squares two
// ranks ahead; a king in one of its own back-rank corners uses the zone of the square beside it.
extern Bitboard KingZone[2][64];
// Own-pawn squares that block a bishop of colour c on a square.
extern Bitboard BishopBlockers[2][64];

void buildEvaluationMasks();

} // namespace eval

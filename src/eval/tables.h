// Material values and piece-square tables that the position keeps incremental sums of.
#pragma once

#include "position/position.h"

#include <cstdint>

namespace eval {

// Indexed by PieceType; Queen..Knight follow the options of the same names.
extern int PieceValue[6];
// Indexed [type][colour][square]; the Black half is the vertical mirror of the White one.
extern std::int8_t PstMid[6][2][64];
extern std::int8_t PstEnd[6][2][64];

// Tables are written as diagrams: rank 8 first, files a to h; entry i belongs to square 63 - i.
constexpr int diagramIndex(position::Square whiteSquare) { return 63 - int(whiteSquare); }
// The square as seen from White's side: Black's squares are mirrored vertically.
constexpr position::Square relativeSquare(position::Colour c, position::Square sq) {
    return c == position::WHITE ? sq : sq ^ 56;
}

// Builds PstMid and PstEnd from the stored White tables.
void buildPieceSquareTables();

// 0 (bare kings and pawns) .. 24 (opening material), counting promoted pieces.
int gamePhase(const position::Position &pos);
// Midgame and endgame values mixed by phase, truncating toward zero.
inline int blend(int mid, int end, int phase) { return (mid * phase + end * (24 - phase)) / 24; }

// Fills position::OrderingPST with the piece-square values blended by the root position's phase.
void buildBlendedPst(const position::Position &root);

} // namespace eval

// Building the piece-square tables, the game phase and the phase blend.
#pragma once

#include "base/piece_tables.h"
#include "position/position.h"

#include <cstdint>

namespace eval {

using base::PieceValue;
using base::PstEnd;
using base::PstMid;
// The evaluation's working fields live in every position record.
using base::EvalExact;
using base::EvalMode;
using base::EvalNormal;
using base::EvalReplacedMaterial;
using base::EvalScratch;
using base::EvalTempoOnly;

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

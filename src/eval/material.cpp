#include "eval/material.h"

#include "eval/endgame.h"
#include "eval/tables.h"
#include "eval/weights.h"

namespace eval {

using namespace position;

const int PawnMaterial[9] = {-20, 100, 200, 300, 400, 500, 595, 690, 785};

namespace {

constexpr int KnightPairBonus = -8;
constexpr int RookPairBonus = -16;
constexpr int KnightPawnAdjust[9] = {-20, -16, -12, -8, -4, 0, 4, 8, 12};
constexpr int RookPawnAdjust[9] = {15, 12, 9, 6, 3, 0, -3, -6, -9};

// Row: major balance 2 x queens + rooks + 4; column: minor balance + 4 (both clamped to 0..8).
constexpr int ImbalanceTable[9][9] = {
    {-96, -96, -96, -96, -96, -96, -96, -96, -12}, {-96, -96, -96, -96, -96, -96, -96, -12, 12},
    {-96, -96, -96, -96, -96, -96, -12, 12, 54},   {-96, -96, -96, -96, -74, -12, 12, 54, 96},
    {-96, -96, -96, -58, 0, 58, 96, 96, 96},       {-96, -54, -12, 12, 74, 96, 96, 96, 96},
    {-54, -12, 12, 96, 96, 96, 96, 96, 96},        {-12, 12, 96, 96, 96, 96, 96, 96, 96},
    {12, 96, 96, 96, 96, 96, 96, 96, 96},
};

int clampIndex(int v) { return v < 0 ? 0 : v > 8 ? 8 : v; }

// Pair bonuses and pawn-count adjustments of one side, from its own point of view.
int sideTerms(const Position &pos, Colour c) {
    const auto &n = pos.pieceCount[c];
    int pawns = n[PAWN] > 8 ? 8 : int(n[PAWN]);
    int s = pawnMaterial(n[PAWN]) + pos.material[c];
    if (n[BISHOP] >= 2) s += BishopPairBonus;
    if (n[KNIGHT] >= 2) s += KnightPairBonus;
    if (n[ROOK] >= 2) s += RookPairBonus;
    s += int(n[ROOK]) * RookPawnAdjust[pawns] + int(n[KNIGHT]) * KnightPawnAdjust[pawns];
    return s;
}

} // namespace

int materialStep(Position &pos) {
    const auto &w = pos.pieceCount[WHITE];
    const auto &b = pos.pieceCount[BLACK];
    int m = sideTerms(pos, WHITE) - sideTerms(pos, BLACK);
    int row = clampIndex(2 * (int(w[QUEEN]) - int(b[QUEEN])) + int(w[ROOK]) - int(b[ROOK]) + 4);
    int col = clampIndex(int(w[BISHOP]) - int(b[BISHOP]) + int(w[KNIGHT]) - int(b[KNIGHT]) + 4);
    m += ImbalanceTable[row][col];

    pos.evalWork.evalMode = EvalNormal;
    pos.evalWork.nullMoveAllowed = 1;
    int heavy = PieceValue[QUEEN] + PieceValue[ROOK];
    if (pos.material[WHITE] >= heavy || pos.material[BLACK] >= heavy) return m;
    return materialKnowledge(pos, m);
}

} // namespace eval

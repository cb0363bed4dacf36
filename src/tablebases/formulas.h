// The formulas of the index, one per material class and side to move: the digits that follow
// the major group term, and those of the en-passant range. Internal to the index.
#pragma once

#include <cstdint>

namespace tablebases {

// First side to move: names end in W; second side: B. Numbers give the pieces per side.
enum Formula : int {
    F_NONE,
    // kXk
    F21_W,
    F21_B,
    F21_B_PAWN,
    // kXkY
    F22_W,
    F22_W_YP,
    F22_W_PP,
    F22_B,
    F22_B_PP,
    // kXYk
    F31_W,
    F31_B_EQ,
    F31_B_NE,
    F31_B_PP,
    F31_B_YP,
    // kXYkZ
    F32_W,
    F32_W_ZP,
    F32_W_YZP,
    F32_W_PPP,
    F32_B_EQ,
    F32_B_NE,
    F32_B_YZP,
    F32_B_PPP,
    F32_B_XYP,
    F32_B_YP,
    // kXYZk
    F41_W,
    F41_B_3,
    F41_B_21,
    F41_B_12,
    F41_B_111,
    F41_B_PPP,
    F41_B_YP,
    F41_B_XXP,
    F41_B_XYP,
    // kXYZkA
    F42_W,
    F42_W_AP,
    F42_W_ZAP,
    F42_W_YZAP,
    F42_W_PPPP,
    F42_B_3,
    F42_B_21,
    F42_B_12,
    F42_B_111,
    F42_B_PPP,
    F42_B_YP,
    F42_B_XXP,
    F42_B_XYP,
    F42_B_A3,
    F42_B_A21,
    F42_B_A12,
    F42_B_A111,
    F42_B_AXXP,
    F42_B_AXYP,
    F42_B_AYP,
    F42_B_APPP,
    // kXYkUV
    F33_W_EQ,
    F33_W_NE,
    F33_W_PP,
    F33_W_YPUP,
    F33_W_YPVP,
    F33_W_YP_EQ,
    F33_W_YP_NE,
    F33_W_UP,
    F33_W_VP,
    F33_B_EQ,
    F33_B_NE,
    F33_B_YPUP,
    F33_B_YPVP,
    F33_B_YP,
    F33_B_VP_EQ,
    F33_B_VP_NE,
    FORMULA_COUNT
};

// Digits after the major term, from the normalised squares (slot order of index.h); -1 when the
// placement does not fit.
std::int64_t minorDigits(int formula, const unsigned *s);
std::int64_t sixPieceDigits(int formula, const unsigned *s);
// Digits of the en-passant range after its own group term; e is the normalised square.
std::int64_t epDigits(int formula, const unsigned *s, unsigned e);

} // namespace tablebases

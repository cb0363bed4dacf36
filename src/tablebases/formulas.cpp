#include "tablebases/formulas.h"

#include "tablebases/groups.h"
#include "tablebases/index.h"

namespace tablebases {

namespace {

using I = std::int64_t;

I column(unsigned s) { return I(s & 7); }

// Capture codes 0..13 of the pawn that takes en passant: the side to move's pawn on w (first
// side) or b (second side).
I codeFirst(unsigned w, unsigned e) { return w + 7 == e ? column(w) - 1 : column(w) + 7; }
I codeSecond(unsigned b, unsigned e) { return b == e + 9 ? column(b) - 1 : column(b) + 7; }
bool firstCanTake(unsigned w, unsigned e) {
    return (w + 7 == e && column(w) != 0) || (w + 9 == e && column(w) != 7);
}
bool secondCanTake(unsigned b, unsigned e) {
    return (b == e + 9 && column(b) != 0) || (b == e + 7 && column(b) != 7);
}

// The first side has two pawns w1 < w2, the second side's pawn b was just pushed.
I ep21First(unsigned w1, unsigned w2, unsigned b, unsigned e) {
    if (firstCanTake(w1, e)) return codeFirst(w1, e) + 14 * (skip(w2, b, e, e + 8) - 9);
    return codeFirst(w2, e) + 14 * (skip(w1, b, e, e + 8) - 8);
}
// The first side has two pawns w1 < w2, one of them just pushed; b takes.
I ep21Second(unsigned w1, unsigned w2, unsigned b, unsigned e) {
    if (w1 == e + 8) return codeSecond(b, e) + 14 * (skip(w2, b, e, e - 8) - 9);
    return codeSecond(b, e) + 14 * (skip(w1, b, e, e - 8) - 8);
}
// The second side's pawn on e - 8 was pushed; w takes.
I ep12First(unsigned w, unsigned bA, unsigned bB, unsigned e) {
    unsigned pushed = bA == e - 8 ? bA : bB, other = bA == e - 8 ? bB : bA;
    return codeFirst(w, e) + 14 * (skip(other, pushed, w, e, e + 8) - 8);
}
// The first side's pawn w was pushed; the second side has b1 < b2.
I ep12Second(unsigned b1, unsigned b2, unsigned e) {
    if (secondCanTake(b1, e)) return codeSecond(b1, e) + 14 * (I(b2) - 12);
    return codeSecond(b2, e) + 14 * (skip(b1, e, e - 8) - 8);
}
I ep22First(unsigned w1, unsigned w2, unsigned bA, unsigned bB, unsigned e) {
    unsigned pushed = bA == e - 8 ? bA : bB, other = bA == e - 8 ? bB : bA;
    I hi = 616 * (skip(other, pushed, w1, w2, e, e + 8) - 8);
    if (firstCanTake(w1, e)) return codeFirst(w1, e) + 14 * (skip(w2, e, e + 8) - 10) + hi;
    return codeFirst(w2, e) + 14 * (I(w1) - 8) + hi;
}
I ep31First(unsigned w1, unsigned w2, unsigned w3, unsigned e) {
    auto y = [e](unsigned s) { return skip(s, e, e + 8) - 10; };
    if (firstCanTake(w1, e)) return codeFirst(w1, e) + 14 * (y(w2) + choose2(y(w3)));
    if (firstCanTake(w2, e)) return codeFirst(w2, e) + 14 * ((I(w1) - 8) + choose2(y(w3)));
    return codeFirst(w3, e) + 14 * ((I(w1) - 8) + choose2(I(w2) - 8));
}
I ep31Second(unsigned w1, unsigned w2, unsigned w3, unsigned b, unsigned e) {
    unsigned pushed = w1 == e + 8 ? w1 : w2 == e + 8 ? w2 : w3;
    unsigned lo = pushed == w1 ? w2 : w1, hi = pushed == w3 ? w2 : w3;
    I y2 = skip(lo, pushed, b, e, e - 8) - 8, y3 = skip(hi, pushed, b, e, e - 8) - 8;
    return codeSecond(b, e) + 14 * (y2 + choose2(y3));
}

} // namespace

std::int64_t minorDigits(int formula, const unsigned *s) {
    const unsigned wk = s[WK], bk = s[BK], w1 = s[W1], w2 = s[W2], w3 = s[W3], b1 = s[B1];
    switch (formula) {
    case F21_W:
    case F21_B_PAWN:
    case F31_W:
    case F31_B_PP:
    case F41_W:
    case F41_B_PPP: return 0;
    case F21_B: return skip(w1, wk, bk);
    case F22_W: return skip(b1, wk, bk, w1);
    case F22_W_YP: return I(b1) - 8;
    case F22_W_PP: return skip(b1, w1) - 8;
    case F22_B: return skip(w1, wk, bk, b1);
    case F22_B_PP: return skip(w1, b1) - 8;
    case F31_B_EQ: return choose2(skip(w2, wk, bk)) + skip(w1, wk, bk);
    case F31_B_NE: return skip(w1, wk, bk) * 61 + skip(w2, wk, bk, w1);
    case F31_B_YP: return skip(w1, wk, bk, w2);
    case F32_W: return skip(b1, wk, bk, w1, w2);
    case F32_W_ZP: return I(b1) - 8;
    case F32_W_YZP: return skip(b1, w2) - 8;
    case F32_W_PPP: return skip(b1, w1, w2) - 8;
    case F32_B_EQ: return choose2(skip(w2, wk, bk, b1)) + skip(w1, wk, bk, b1);
    case F32_B_NE: return skip(w1, wk, bk, b1) * 60 + skip(w2, wk, bk, w1, b1);
    case F32_B_YZP: return skip(w1, wk, bk, w2, b1) * 47 + (skip(w2, b1) - 8);
    case F32_B_PPP: return choose2(skip(w2, b1) - 8) + (skip(w1, b1) - 8);
    case F32_B_XYP: return choose2(I(w2) - 8) + (I(w1) - 8);
    case F32_B_YP: return skip(w1, wk, bk, w2, b1) * 48 + (I(w2) - 8);
    case F41_B_3: return choose3(skip(w3, wk, bk)) + choose2(skip(w2, wk, bk)) + skip(w1, wk, bk);
    case F41_B_21: return (choose2(skip(w2, wk, bk, w3)) + skip(w1, wk, bk, w3)) * 62 + skip(w3, wk, bk);
    case F41_B_12: return skip(w1, wk, bk) * 1830 + choose2(skip(w3, wk, bk, w1)) + skip(w2, wk, bk, w1);
    case F41_B_111: return skip(w1, wk, bk) * 3660 + skip(w2, wk, bk, w1) * 60 + skip(w3, wk, bk, w1, w2);
    case F41_B_YP: return skip(w1, wk, bk, w2, w3);
    case F41_B_XXP: return choose2(skip(w2, wk, bk, w3)) + skip(w1, wk, bk, w3);
    case F41_B_XYP: return skip(w1, wk, bk, w3) * 60 + skip(w2, wk, bk, w1, w3);
    default: return -1;
    }
}

std::int64_t epDigits(int formula, const unsigned *s, unsigned e) {
    const unsigned wk = s[WK], bk = s[BK], w1 = s[W1], w2 = s[W2], w3 = s[W3], b1 = s[B1], b2 = s[B2];
    switch (formula) {
    case F22_W_PP: return codeFirst(w1, e);
    case F22_B_PP: return codeSecond(b1, e);
    case F32_W_YZP: return codeFirst(w2, e);
    case F32_W_PPP: return ep21First(w1, w2, b1, e);
    case F32_B_YZP: return skip(w1, wk, bk, w2, b1, e, e - 8) * 14 + codeSecond(b1, e);
    case F32_B_PPP: return ep21Second(w1, w2, b1, e);
    case F42_W_ZAP: return codeFirst(w3, e);
    case F42_W_YZAP: return ep21First(w2, w3, b1, e);
    case F42_W_PPPP: return ep31First(w1, w2, w3, e);
    case F42_B_AXXP:
        return (choose2(skip(w2, wk, bk, w3, b1, e, e - 8)) + skip(w1, wk, bk, w3, b1, e, e - 8)) * 14 +
               codeSecond(b1, e);
    case F42_B_AXYP:
        return skip(w1, wk, bk, w3, b1, e, e - 8) * 798 + skip(w2, wk, bk, w1, w3, b1, e, e - 8) * 14 +
               codeSecond(b1, e);
    case F42_B_AYP: return skip(w1, wk, bk, w2, w3, b1, e, e - 8) * 616 + ep21Second(w2, w3, b1, e);
    case F42_B_APPP: return ep31Second(w1, w2, w3, b1, e);
    case F33_W_PP: return ep22First(w1, w2, b1, b2, e);
    case F33_W_YPUP: return ep12First(w2, b1, b2, e);
    case F33_W_YPVP: return skip(b1, b2, wk, w1, w2, bk, e, e + 8) * 14 + codeFirst(w2, e);
    case F33_B_YPUP: return skip(w1, w2, b1, b2, bk, wk, e, e - 8) * 616 + ep12Second(b1, b2, e);
    case F33_B_YPVP: return skip(w1, w2, b1, b2, wk, bk, e, e - 8) * 14 + codeSecond(b2, e);
    default: return -1;
    }
}

} // namespace tablebases

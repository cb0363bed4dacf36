#include "tablebases/formulas.h"

#include "tablebases/groups.h"
#include "tablebases/index.h"

namespace tablebases {

namespace {

using I = std::int64_t;

// Three pieces of which none is a pawn, after a major term that covers the kings and b1.
I threeDigits(int formula, unsigned wk, unsigned bk, unsigned b1, unsigned w1, unsigned w2, unsigned w3) {
    switch (formula) {
    case F42_B_3:
    case F42_B_A3:
        return choose3(skip(w3, wk, bk, b1)) + choose2(skip(w2, wk, bk, b1)) + skip(w1, wk, bk, b1);
    case F42_B_21:
        return (choose2(skip(w2, w3, wk, bk, b1)) + skip(w1, w3, wk, bk, b1)) * 61 + skip(w3, wk, bk, b1);
    case F42_B_A21:
        return (choose2(skip(w2, wk, bk, b1)) + skip(w1, wk, bk, b1)) * 59 + skip(w3, w1, w2, wk, bk, b1);
    case F42_B_12:
    case F42_B_A12:
        return skip(w1, wk, bk, b1) * 1770 + choose2(skip(w3, w1, wk, bk, b1)) + skip(w2, w1, wk, bk, b1);
    default:
        return skip(w1, wk, bk, b1) * 3540 + skip(w2, w1, wk, bk, b1) * 59 + skip(w3, w1, w2, wk, bk, b1);
    }
}

} // namespace

std::int64_t sixPieceDigits(int formula, const unsigned *s) {
    const unsigned wk = s[WK], bk = s[BK], w1 = s[W1], w2 = s[W2], w3 = s[W3], b1 = s[B1], b2 = s[B2];
    switch (formula) {
    case F42_W: return skip(b1, wk, bk, w1, w2, w3);
    case F42_W_AP: return I(b1) - 8;
    case F42_W_ZAP: return skip(b1, w3) - 8;
    case F42_W_YZAP: return skip(b1, w2, w3) - 8;
    case F42_W_PPPP: return skip(b1, w1, w2, w3) - 8;
    case F42_B_3:
    case F42_B_21:
    case F42_B_12:
    case F42_B_111:
    case F42_B_A3:
    case F42_B_A21:
    case F42_B_A12:
    case F42_B_A111: return threeDigits(formula, wk, bk, b1, w1, w2, w3);
    case F42_B_PPP: return choose3(I(w3) - 8) + choose2(I(w2) - 8) + (I(w1) - 8);
    case F42_B_YP: return skip(w1, wk, bk, b1, w2, w3) * 1128 + choose2(I(w3) - 8) + (I(w2) - 8);
    case F42_B_XXP: return (choose2(skip(w2, wk, bk, b1, w3)) + skip(w1, wk, bk, b1, w3)) * 48 + (I(w3) - 8);
    case F42_B_XYP: return skip(w1, wk, bk, b1, w3) * 2832 + skip(w2, wk, bk, b1, w1, w3) * 48 + (I(w3) - 8);
    case F42_B_AXXP:
        return (choose2(skip(w2, wk, bk, w3, b1)) + skip(w1, wk, bk, w3, b1)) * 47 + (skip(w3, b1) - 8);
    case F42_B_AXYP:
        return skip(w1, wk, bk, w3, b1) * 2773 + skip(w2, wk, bk, w1, w3, b1) * 47 + (skip(w3, b1) - 8);
    case F42_B_AYP:
        return skip(w1, wk, bk, w2, w3, b1) * 1081 + choose2(skip(w3, b1) - 8) + (skip(w2, b1) - 8);
    case F42_B_APPP: return choose3(skip(w3, b1) - 8) + choose2(skip(w2, b1) - 8) + (skip(w1, b1) - 8);
    case F33_W_EQ: return choose2(skip(b2, wk, bk, w1, w2)) + skip(b1, wk, bk, w1, w2);
    case F33_W_NE: return skip(b1, wk, bk, w1, w2) * 59 + skip(b2, b1, wk, bk, w1, w2);
    case F33_W_PP: return choose2(skip(b2, w1, w2) - 8) + (skip(b1, w1, w2) - 8);
    case F33_W_YPUP: return choose2(skip(b2, w2) - 8) + (skip(b1, w2) - 8);
    case F33_W_YPVP: return (skip(b2, w2) - 8) * 59 + skip(b1, b2, wk, w1, w2, bk);
    case F33_W_YP_EQ: return choose2(skip(b2, wk, w1, w2, bk)) + skip(b1, wk, w1, w2, bk);
    case F33_W_YP_NE: return skip(b2, wk, w1, w2, bk) * 59 + skip(b1, b2, wk, w1, w2, bk);
    case F33_W_UP: return choose2(I(b2) - 8) + (I(b1) - 8);
    case F33_W_VP: return (I(b2) - 8) * 59 + skip(b1, b2, wk, w1, w2, bk);
    case F33_B_EQ: return choose2(skip(w2, wk, bk, b1, b2)) + skip(w1, wk, bk, b1, b2);
    case F33_B_NE: return skip(w1, wk, bk, b1, b2) * 59 + skip(w2, w1, wk, bk, b1, b2);
    case F33_B_YPUP: return (skip(w2, b1, b2) - 8) * 59 + skip(w1, w2, b1, b2, wk, bk);
    case F33_B_YPVP: return (skip(w2, b2) - 8) * 59 + skip(w1, w2, b1, b2, wk, bk);
    case F33_B_YP: return (I(w2) - 8) * 59 + skip(w1, w2, b1, b2, wk, bk);
    case F33_B_VP_EQ: return choose2(skip(w2, b1, b2, wk, bk)) + skip(w1, b1, b2, wk, bk);
    case F33_B_VP_NE: return skip(w2, b1, b2, wk, bk) * 59 + skip(w1, w2, b1, b2, wk, bk);
    default: return -1;
    }
}

} // namespace tablebases

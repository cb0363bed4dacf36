#include "tablebases/index.h"

#include "tablebases/formulas.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace tablebases {

namespace {

using Piece = std::pair<Slot, GroupKind>;

GroupKind own(Kind k) { return GroupKind(k + 1); }

GroupTerm term(bool fromSecond, std::initializer_list<Piece> pieces, bool half) {
    GroupTerm t;
    GroupKind kinds[3] = {};
    int n = 0;
    for (const Piece &p : pieces) {
        t.pieces[n] = std::uint8_t(p.first);
        kinds[n++] = p.second;
        if (p.second == GK_P || p.second == GK_P0) t.flipped = fromSecond;
    }
    t.fromSecond = fromSecond;
    t.group = findGroup(kinds, n, half);
    return t;
}

// Chooses the formula of one material class and side to move; see the digit functions for
// the digits that follow each major term.
struct Chooser {
    const Material &m;
    Layout layout;
    bool h = m.pawns;
    Kind X = m.kinds[0][0], Y = m.kinds[0][1], Z = m.kinds[0][2], U = m.kinds[1][0], V = m.kinds[1][1];

    GroupTerm first(std::initializer_list<Piece> p) { return term(false, p, h); }
    GroupTerm second(std::initializer_list<Piece> p) { return term(true, p, h); }
    void set(Formula f, GroupTerm major, std::uint64_t multiplier) {
        layout.formula = f;
        layout.major = major;
        layout.multiplier = multiplier;
    }
    void ep(GroupTerm t, std::uint64_t multiplier) {
        layout.epTerm = t;
        layout.epMultiplier = multiplier;
    }

    void oneAgainstNone(int side) {
        if (side == 0)
            set(F21_W, first({{W1, own(X)}}), 1);
        else if (!h)
            set(F21_B, second({}), 62);
        else
            set(F21_B_PAWN, second({{W1, GK_P0}}), 1);
    }
    void oneAgainstOne(int side) {
        if (side == 0) {
            if (!h)
                set(F22_W, first({{W1, own(X)}}), 61);
            else if (X != KIND_PAWN)
                set(F22_W_YP, first({{W1, own(X)}}), 48);
            else
                set(F22_W_PP, first({{W1, GK_P}}), 47), ep(first({}), 14);
        } else {
            if (X != KIND_PAWN)
                set(F22_B, second({{B1, own(U)}}), 61);
            else
                set(F22_B_PP, second({{B1, GK_P}}), 47), ep(second({}), 14);
        }
    }
    void twoAgainstNone(int side) {
        if (side == 0)
            set(F31_W, first({{W1, own(X)}, {W2, own(Y)}}), 1);
        else if (!h)
            set(X == Y ? F31_B_EQ : F31_B_NE, second({}), X == Y ? 1891 : 3782);
        else if (X == KIND_PAWN)
            set(F31_B_PP, second({{W1, GK_P0}, {W2, GK_P0}}), 1);
        else
            set(F31_B_YP, second({{W2, GK_P0}}), 61);
    }
    void twoAgainstOne(int side) {
        Kind Zb = U;
        if (side == 0) {
            if (!h || Zb != KIND_PAWN)
                set(F32_W, first({{W1, own(X)}, {W2, own(Y)}}), 60);
            else if (Y != KIND_PAWN)
                set(F32_W_ZP, first({{W1, own(X)}, {W2, own(Y)}}), 48);
            else if (X != KIND_PAWN)
                set(F32_W_YZP, first({{W1, own(X)}, {W2, GK_P}}), 47), ep(first({{W1, own(X)}}), 14);
            else
                set(F32_W_PPP, first({{W1, GK_P}, {W2, GK_P}}), 46), ep(first({}), 616);
        } else {
            if (!h || (Zb == KIND_PAWN && Y != KIND_PAWN))
                set(X == Y ? F32_B_EQ : F32_B_NE, second({{B1, own(Zb)}}), X == Y ? 1830 : 3660);
            else if (Zb == KIND_PAWN && X != KIND_PAWN)
                set(F32_B_YZP, second({{B1, GK_P}}), 2820), ep(second({}), 812);
            else if (Zb == KIND_PAWN)
                set(F32_B_PPP, second({{B1, GK_P}}), 1081), ep(second({}), 616);
            else if (X == KIND_PAWN)
                set(F32_B_XYP, second({{B1, own(Zb)}}), 1128);
            else
                set(F32_B_YP, second({{B1, own(Zb)}}), 2880);
        }
    }
    void threeAgainstNone(int side) {
        if (side == 0) {
            set(F41_W, first({{W1, own(X)}, {W2, own(Y)}, {W3, own(Z)}}), 1);
        } else if (!h) {
            if (X == Y && Y == Z)
                set(F41_B_3, second({}), 37820);
            else if (X == Y)
                set(F41_B_21, second({}), 113460);
            else if (Y == Z)
                set(F41_B_12, second({}), 113460);
            else
                set(F41_B_111, second({}), 226920);
        } else if (X == KIND_PAWN) {
            set(F41_B_PPP, second({{W1, GK_P0}, {W2, GK_P0}, {W3, GK_P0}}), 1);
        } else if (Y == KIND_PAWN) {
            set(F41_B_YP, second({{W2, GK_P0}, {W3, GK_P0}}), 60);
        } else {
            set(X == Y ? F41_B_XXP : F41_B_XYP, second({{W3, GK_P0}}), X == Y ? 1830 : 3660);
        }
    }
    void threeAgainstOne(int side);
    void twoAgainstTwo(int side);
};

void Chooser::threeAgainstOne(int side) {
    Kind A = U;
    const Kind P = KIND_PAWN;
    if (side == 0) {
        if (!h || A != P)
            set(F42_W, first({{W1, own(X)}, {W2, own(Y)}, {W3, own(Z)}}), 59);
        else if (Z != P)
            set(F42_W_AP, first({{W1, own(X)}, {W2, own(Y)}, {W3, own(Z)}}), 48);
        else if (Y != P)
            set(F42_W_ZAP, first({{W1, own(X)}, {W2, own(Y)}, {W3, GK_P}}), 47),
                ep(first({{W1, own(X)}, {W2, own(Y)}}), 14);
        else if (X != P)
            set(F42_W_YZAP, first({{W1, own(X)}, {W2, GK_P}, {W3, GK_P}}), 46),
                ep(first({{W1, own(X)}}), 616);
        else
            set(F42_W_PPPP, first({{W1, GK_P}, {W2, GK_P}, {W3, GK_P}}), 45), ep(first({}), 13244);
        return;
    }
    if (!h || (A != P && Z != P)) {
        GroupTerm u = second({{B1, own(A)}});
        if (X == Y && Y == Z)
            set(F42_B_3, u, 35990);
        else if (X == Y)
            set(F42_B_21, u, 107970);
        else if (Y == Z)
            set(F42_B_12, u, 107970);
        else
            set(F42_B_111, u, 215940);
    } else if (A != P) {
        GroupTerm u = second({{B1, own(A)}});
        if (X == P)
            set(F42_B_PPP, u, 17296);
        else if (Y == P)
            set(F42_B_YP, u, 66552);
        else if (X == Y)
            set(F42_B_XXP, u, 84960);
        else
            set(F42_B_XYP, u, 169920);
    } else {
        GroupTerm u = second({{B1, GK_P}});
        if (Z != P) {
            if (X == Y && Y == Z)
                set(F42_B_A3, u, 35990);
            else if (X == Y)
                set(F42_B_A21, u, 107970);
            else if (Y == Z)
                set(F42_B_A12, u, 107970);
            else
                set(F42_B_A111, u, 215940);
        } else if (Y != P) {
            if (X == Y)
                set(F42_B_AXXP, u, 83190), ep(second({}), 23142);
            else
                set(F42_B_AXYP, u, 166380), ep(second({}), 46284);
        } else if (X != P) {
            set(F42_B_AYP, u, 63779), ep(second({}), 35112);
        } else {
            set(F42_B_APPP, u, 16215), ep(second({}), 13244);
        }
    }
}

void Chooser::twoAgainstTwo(int side) {
    const Kind P = KIND_PAWN;
    if (side == 0) {
        GroupTerm u = first({{W1, own(X)}, {W2, own(Y)}});
        if (!h)
            set(U == V ? F33_W_EQ : F33_W_NE, u, U == V ? 1770 : 3540);
        else if (X == P)
            set(F33_W_PP, u, 1035), ep(first({}), 26488);
        else if (Y == P && U == P)
            set(F33_W_YPUP, u, 1081), ep(first({{W1, own(X)}}), 616);
        else if (Y == P && V == P)
            set(F33_W_YPVP, u, 2773), ep(first({{W1, own(X)}}), 798);
        else if (Y == P)
            set(U == V ? F33_W_YP_EQ : F33_W_YP_NE, u, U == V ? 1770 : 3540);
        else if (U == P)
            set(F33_W_UP, u, 1128);
        else
            set(F33_W_VP, u, 2832);
        return;
    }
    GroupTerm u = second({{B1, own(U)}, {B2, own(V)}});
    if (!h)
        set(X == Y ? F33_B_EQ : F33_B_NE, u, X == Y ? 1770 : 3540);
    else if (X == P)
        return; // only kppkpp, whose sides are identical: never indexed this way
    else if (Y == P && U == P)
        set(F33_B_YPUP, u, 2714), ep(second({}), 35112);
    else if (Y == P && V == P)
        set(F33_B_YPVP, u, 2773), ep(second({{B1, own(U)}}), 798);
    else if (Y == P)
        set(F33_B_YP, u, 2832);
    else
        set(X == Y ? F33_B_VP_EQ : F33_B_VP_NE, u, X == Y ? 1770 : 3540);
}

unsigned column(unsigned s) { return s & 7; }

// Can a pawn of the side to move on s capture onto e? The first side's pawns move up.
bool canCapture(unsigned s, unsigned e, bool firstToMove) {
    if (firstToMove) return (s + 7 == e && column(s) != 0) || (s + 9 == e && column(s) != 7);
    return (s == e + 9 && column(s) != 0) || (s == e + 7 && column(s) != 7);
}

std::uint64_t termIndex(const GroupTerm &t, const unsigned *s) {
    unsigned k1 = t.fromSecond ? s[BK] : s[WK], k2 = t.fromSecond ? s[WK] : s[BK];
    unsigned squares[3];
    unsigned flip = t.flipped ? 56 : 0;
    for (int i = 0; i < t.group->count; ++i)
        squares[i] = s[t.pieces[i]] ^ flip;
    return groupIndex(*t.group, k1 ^ flip, k2 ^ flip, squares);
}

} // namespace

Layout buildLayout(const Material &m, int side) {
    initGroups();
    Chooser c{m, {}};
    int a = m.count[0], b = m.count[1];
    if (a == 1 && b == 0)
        c.oneAgainstNone(side);
    else if (a == 1 && b == 1)
        c.oneAgainstOne(side);
    else if (a == 2 && b == 0)
        c.twoAgainstNone(side);
    else if (a == 2 && b == 1)
        c.twoAgainstOne(side);
    else if (a == 3 && b == 0)
        c.threeAgainstNone(side);
    else if (a == 3 && b == 1)
        c.threeAgainstOne(side);
    else if (a == 2 && b == 2)
        c.twoAgainstTwo(side);
    Layout &l = c.layout;
    if (l.formula == F_NONE) return l;
    l.epBase = l.major.group->total * l.multiplier;
    l.size = l.epBase + (l.epMultiplier ? l.epTerm.group->total * l.epMultiplier : 0);
    return l;
}

std::uint64_t tableIndex(const Material &m, const Layout &layout, int side, const unsigned *first,
                         const unsigned *second, unsigned ep, bool flip) {
    if (layout.formula == F_NONE) return NO_INDEX;
    // 1. Gather the squares: kings, then each side's pieces strongest first.
    unsigned s[SLOT_COUNT] = {first[15], second[15], 64, 64, 64, 64, 64};
    const unsigned *lists[2] = {first, second};
    for (int c = 0; c < 2; ++c) {
        int slot = c == 0 ? W1 : B1, taken[KIND_COUNT] = {};
        for (int i = 0; i < m.count[c]; ++i) {
            Kind k = m.kinds[c][i];
            s[slot + i] = lists[c][3 * k + taken[k]++];
        }
    }
    // 2. Normalise by the king of the side to move.
    unsigned king = s[side == 0 ? WK : BK];
    unsigned mask;
    if (m.pawns) {
        mask = ((king & 7) >= 4 ? 7u : 0u) ^ (flip ? 56u : 0u);
    } else {
        mask = ((king & 7) >= 4 ? 7u : 0u) | ((king >> 3) >= 4 ? 56u : 0u);
        ep = 127;
    }
    for (unsigned &sq : s)
        if (sq < 64) sq ^= mask;
    if (!m.pawns) {
        unsigned k = s[side == 0 ? WK : BK], other = s[side == 0 ? BK : WK];
        unsigned r = k >> 3, c = k & 7;
        bool keep = r <= c && (r < c || (other >> 3) <= (other & 7));
        if (!keep)
            for (unsigned &sq : s)
                if (sq < 64) sq = ((sq & 7) << 3) | (sq >> 3);
    }
    // 3. Identical pieces in ascending order.
    for (int c = 0; c < 2; ++c) {
        int base = c == 0 ? W1 : B1;
        for (int i = 1; i < m.count[c]; ++i)
            for (int j = i; j > 0 && m.kinds[c][j] == m.kinds[c][j - 1] && s[base + j] < s[base + j - 1]; --j)
                std::swap(s[base + j], s[base + j - 1]);
    }
    // 4. En passant counts only when the side to move has a pawn that can capture onto the
    // square and the other side's pawn stands just past it.
    bool useEp = false;
    if (ep < 64 && layout.epMultiplier) {
        ep ^= mask;
        bool firstToMove = side == 0;
        unsigned pushed = firstToMove ? ep - 8 : ep + 8;
        int mover = firstToMove ? 0 : 1;
        bool capturer = false, victim = false;
        for (int i = 0; i < m.count[mover]; ++i)
            if (m.kinds[mover][i] == KIND_PAWN && canCapture(s[(mover ? B1 : W1) + i], ep, firstToMove))
                capturer = true;
        for (int i = 0; i < m.count[1 - mover]; ++i)
            if (m.kinds[1 - mover][i] == KIND_PAWN && s[(mover ? W1 : B1) + i] == pushed) victim = true;
        useEp = capturer && victim && pushed < 64;
    }
    // 5. Combine.
    std::int64_t digits;
    std::uint64_t base;
    if (useEp) {
        digits = epDigits(layout.formula, s, ep);
        std::uint64_t g = termIndex(layout.epTerm, s);
        if (g == NO_INDEX) return NO_INDEX;
        base = layout.epBase + g * layout.epMultiplier;
    } else {
        digits = layout.formula >= F42_W ? sixPieceDigits(layout.formula, s) : minorDigits(layout.formula, s);
        std::uint64_t g = termIndex(layout.major, s);
        if (g == NO_INDEX) return NO_INDEX;
        base = g * layout.multiplier;
    }
    if (digits < 0) return NO_INDEX;
    std::uint64_t index = base + std::uint64_t(digits);
    return index < layout.size ? index : NO_INDEX;
}

} // namespace tablebases

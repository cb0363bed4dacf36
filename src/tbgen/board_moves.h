// Move and unmove generation of board.h (templates, included from there).
#pragma once

#include "position/attacks.h"

namespace tbgen::detail {

inline position::Bitboard occupancy(const Space &s, const Board &b) {
    position::Bitboard occ = 0;
    for (int i = 0; i < s.slots; ++i)
        occ |= position::squareBit(b.sq[i]);
    return occ;
}

inline int slotAt(const Space &s, const Board &b, unsigned sq) {
    for (int i = 0; i < s.slots; ++i)
        if (b.sq[i] == sq) return i;
    return -1;
}

inline position::Bitboard attacksFrom(position::PieceType t, position::Colour c, unsigned sq,
                                      position::Bitboard occ) {
    using namespace position;
    switch (t) {
    case KING: return KingAttacks[sq];
    case KNIGHT: return KnightAttacks[sq];
    case BISHOP: return BishopAttacks(sq, occ);
    case ROOK: return RookAttacks(sq, occ);
    case QUEEN: return QueenAttacks(sq, occ);
    default: return PawnAttacksOf(c, squareBit(sq));
    }
}

// Is `target` attacked by the pieces of colour `by` still on the board (occupancy occ)?
inline bool attacked(const Space &s, const Board &b, int by, unsigned target, position::Bitboard occ) {
    position::Bitboard bit = position::squareBit(target);
    for (int i = 0; i < s.slots; ++i)
        if (int(s.colour[i]) == by && b.sq[i] < 64 &&
            (attacksFrom(s.type[i], s.colour[i], b.sq[i], occ) & bit))
            return true;
    return false;
}
inline bool attacked(const Space &s, const Board &b, int by, unsigned target) {
    return attacked(s, b, by, target, occupancy(s, b));
}

// Own pieces standing alone between the king and an enemy slider on its line.
inline position::Bitboard pinnedPieces(const Space &s, const Board &b, int side, position::Bitboard occ) {
    using namespace position;
    unsigned king = b.sq[side];
    Bitboard pinned = 0;
    for (int i = 0; i < s.slots; ++i) {
        if (int(s.colour[i]) == side || b.sq[i] >= 64) continue;
        PieceType t = s.type[i];
        Bitboard at = squareBit(b.sq[i]);
        bool line = ((t == ROOK || t == QUEEN) && (RookLines[king] & at)) ||
                    ((t == BISHOP || t == QUEEN) && (BishopLines[king] & at));
        if (!line) continue;
        Bitboard between = Between[king][b.sq[i]] & occ;
        if (between && !(between & (between - 1))) pinned |= between;
    }
    return pinned;
}

} // namespace tbgen::detail

namespace tbgen {

template <bool CountQuiet, typename Visit>
int generateMoves(const Space &s, const Board &b, int side, unsigned ep, Visit &&visit) {
    using namespace position;
    int counted = 0;
    Bitboard occ = detail::occupancy(s, b), own = 0;
    for (int i = 0; i < s.slots; ++i)
        if (int(s.colour[i]) == side) own |= squareBit(b.sq[i]);
    // Without check, a move of a piece that is not pinned (and not the king) is legal.
    bool check = detail::attacked(s, b, 1 - side, b.sq[side], occ);
    Bitboard pinned = detail::pinnedPieces(s, b, side, occ) & own;
    auto tryMove = [&](int slot, unsigned to, int captured, PieceType promotion, unsigned passed) {
        Successor m{b};
        m.board.sq[slot] = to;
        Bitboard after = (occ ^ squareBit(b.sq[slot])) | squareBit(to);
        bool enPassant = captured >= 0 && b.sq[captured] != to;
        if (captured >= 0) {
            after &= ~squareBit(b.sq[captured]);
            m.board.sq[captured] = NO_SQUARE;
        }
        m.captured = captured;
        if (promotion != NO_PIECE) m.promoted = slot, m.promotion = promotion;
        m.ep = passed;
        bool surelyLegal = !check && slot != side && !enPassant && !(pinned & squareBit(b.sq[slot]));
        if (surelyLegal || !detail::attacked(s, m.board, 1 - side, m.board.sq[side], after)) visit(m);
    };
    auto promoteOrMove = [&](int slot, unsigned to, int captured) {
        if ((to >> 3) == (side == 0 ? 7u : 0u)) {
            for (PieceType p : {QUEEN, ROOK, BISHOP, KNIGHT})
                tryMove(slot, to, captured, p, NO_EP);
        } else {
            tryMove(slot, to, captured, NO_PIECE, NO_EP);
        }
    };
    for (int i = 0; i < s.slots; ++i) {
        if (int(s.colour[i]) != side) continue;
        unsigned from = b.sq[i];
        if constexpr (CountQuiet) {
            if (s.type[i] != PAWN && i != side && !check && !(pinned & squareBit(from))) {
                // Every move of this piece is legal: count the quiet ones, visit the captures.
                Bitboard targets = detail::attacksFrom(s.type[i], s.colour[i], from, occ) & ~own;
                counted += popCount(targets & ~occ);
                for (Bitboard t = targets & occ; t;) {
                    unsigned to = popLowest(t);
                    tryMove(i, to, detail::slotAt(s, b, to), NO_PIECE, NO_EP);
                }
                continue;
            }
        }
        if (s.type[i] == PAWN) {
            int forward = side == 0 ? 8 : -8;
            unsigned one = unsigned(int(from) + forward);
            if (!(occ & squareBit(one))) {
                promoteOrMove(i, one, -1);
                unsigned two = unsigned(int(one) + forward);
                if ((from >> 3) == (side == 0 ? 1u : 6u) && !(occ & squareBit(two)))
                    tryMove(i, two, -1, NO_PIECE, one);
            }
            Bitboard hits = PawnAttacksOf(Colour(side), squareBit(from));
            for (Bitboard t = hits & occ & ~own; t;) {
                unsigned to = popLowest(t);
                int victim = detail::slotAt(s, b, to);
                if (s.type[victim] != KING) promoteOrMove(i, to, victim);
            }
            if (ep != NO_EP && (hits & squareBit(ep)))
                tryMove(i, ep, detail::slotAt(s, b, unsigned(int(ep) - forward)), NO_PIECE, NO_EP);
            continue;
        }
        for (Bitboard t = detail::attacksFrom(s.type[i], s.colour[i], from, occ) & ~own; t;) {
            unsigned to = popLowest(t);
            int victim = (occ & squareBit(to)) ? detail::slotAt(s, b, to) : -1;
            if (victim >= 0 && s.type[victim] == KING) continue;
            tryMove(i, to, victim, NO_PIECE, NO_EP);
        }
    }
    return counted;
}

template <typename Visit>
void forEachMove(const Space &s, const Board &b, int side, unsigned ep, Visit &&visit) {
    generateMoves<false>(s, b, side, ep, visit);
}

template <typename Visit>
int countQuietMoves(const Space &s, const Board &b, int side, unsigned ep, Visit &&visit) {
    return generateMoves<true>(s, b, side, ep, visit);
}

template <typename Visit> void forEachUnmove(const Space &s, const Board &b, int sideToMove, Visit &&visit) {
    using namespace position;
    int mover = 1 - sideToMove;
    Bitboard occ = detail::occupancy(s, b);
    auto tryUnmove = [&](int slot, unsigned from, unsigned passed) {
        Board pred = b;
        pred.sq[slot] = from;
        visit(pred, slot, passed);
    };
    for (int i = 0; i < s.slots; ++i) {
        if (int(s.colour[i]) != mover) continue;
        unsigned at = b.sq[i];
        if (s.type[i] == PAWN) {
            int back = mover == 0 ? -8 : 8;
            unsigned one = unsigned(int(at) + back);
            if (occ & squareBit(one)) continue;
            if ((one >> 3) >= 1 && (one >> 3) <= 6) tryUnmove(i, one, NO_EP);
            unsigned two = unsigned(int(one) + back);
            if ((at >> 3) == (mover == 0 ? 3u : 4u) && !(occ & squareBit(two))) tryUnmove(i, two, one);
            continue;
        }
        for (Bitboard f = detail::attacksFrom(s.type[i], s.colour[i], at, occ) & ~occ; f;)
            tryUnmove(i, popLowest(f), NO_EP);
    }
}

} // namespace tbgen

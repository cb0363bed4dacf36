#include "search/see.h"

#include "position/attacks.h"

namespace search {

using namespace position;

std::int16_t exchangeTable[6][256][256];

namespace {

// The least valuable attacker left in a signature; minor pieces are valued as knights.
PieceType cheapestAttacker(unsigned sig) {
    if (sig >= 64) return PAWN;
    if (sig >= 16) return KNIGHT;
    if (sig >= 4) return ROOK;
    if (sig >= 2) return QUEEN;
    return KING;
}

int exchange(PieceType first, unsigned a, unsigned b) {
    unsigned sig[2] = {a, b};
    int best[2] = {-32767, -32767};
    int v = 0; // balance for the side about to capture
    int s = 0; // side to capture next (0 = the side that captures first)
    PieceType piece = first;
    while (sig[s ^ 1] != 0) {
        sig[s] = (sig[s] - SignatureWeight[piece]) & 255;
        s ^= 1;
        v = -v;
        if (v >= -best[s ^ 1]) break; // the capturer would not have gone on
        if (v > best[s]) best[s] = v;
        v += CaptureValue[piece];
        piece = cheapestAttacker(sig[s]);
    }
    int firstView = s == 0 ? v : -v;
    int result = best[0] > firstView ? best[0] : firstView;
    return result < -best[1] ? result : -best[1];
}

// Square one step behind sq against the pawn direction of colour c, or NO_SQUARE off the board.
Square behind(Square sq, Colour c) {
    if (c == WHITE) return sq >= 8 ? sq - 8 : NO_SQUARE;
    return sq < 56 ? sq + 8 : NO_SQUARE;
}

// The pawn of the side to move that could push onto the empty square sq, or NO_SQUARE.
Square pushingPawn(const Position &pos, Square sq) {
    Colour us = Colour(pos.sideToMove);
    Bitboard ourPawns = pos.pieces[us][PAWN];
    Square one = behind(sq, us);
    if (one == NO_SQUARE) return NO_SQUARE;
    if (ourPawns & squareBit(one)) return one;
    int fourthRank = us == WHITE ? 3 : 4;
    if (rankOf(sq) != fourthRank || !pos.isEmpty(one)) return NO_SQUARE;
    Square two = behind(one, us);
    return (ourPawns & squareBit(two)) ? two : NO_SQUARE;
}

Signatures scan(const Position &pos, Square sq, bool withPush) {
    Signatures sig{{0, 0}};
    Bitboard transparent = 0;
    Colour us = Colour(pos.sideToMove);
    if (sq == pos.epSquare) {
        Square captured = behind(sq, us);
        if (captured != NO_SQUARE) transparent |= squareBit(captured);
    } else if (withPush && pos.isEmpty(sq)) {
        Square pawn = pushingPawn(pos, sq);
        if (pawn != NO_SQUARE) {
            sig.side[us] += 64;
            transparent |= squareBit(pawn);
        }
    }
    Bitboard target = squareBit(sq);
    for (int c = 0; c < 2; ++c) {
        const Bitboard *own = pos.pieces[c];
        unsigned add = 16 * unsigned(popCount(KnightAttacks[sq] & own[KNIGHT]));
        if (KingAttacks[sq] & own[KING]) add += 1;
        // Pawns that attack sq: at most one per diagonal; they are transparent for the scans.
        Bitboard pawns = PawnAttacksOf(Colour(c ^ 1), target) & own[PAWN];
        add += 64 * unsigned(popCount(pawns));
        transparent |= pawns;
        sig.side[c] = std::uint8_t(sig.side[c] + add);
    }
    Bitboard occ = pos.all() & ~transparent;
    Bitboard straight =
        pos.pieces[0][ROOK] | pos.pieces[0][QUEEN] | pos.pieces[1][ROOK] | pos.pieces[1][QUEEN];
    Bitboard diagonal =
        pos.pieces[0][BISHOP] | pos.pieces[0][QUEEN] | pos.pieces[1][BISHOP] | pos.pieces[1][QUEEN];
    Bitboard queens = pos.pieces[0][QUEEN] | pos.pieces[1][QUEEN];
    Bitboard found = 0;
    for (;;) { // each pass sees through the pieces found by the previous one
        Bitboard fresh = ((RookAttacks(sq, occ) & straight) | (BishopAttacks(sq, occ) & diagonal)) & ~found;
        if (!fresh) break;
        found |= fresh;
        occ &= ~fresh;
        while (fresh) {
            Square from = popLowest(fresh);
            Bitboard bit = squareBit(from);
            unsigned weight = (queens & bit) ? 2 : (pos.typeOn(from) == ROOK ? 4 : 16);
            int c = (pos.occupied[WHITE] & bit) ? 0 : 1;
            sig.side[c] = std::uint8_t(sig.side[c] + weight);
        }
    }
    return sig;
}

} // namespace

void buildExchangeTable() {
    for (int t = 0; t < 6; ++t)
        for (unsigned a = 0; a < 256; ++a)
            for (unsigned b = 0; b < 256; ++b)
                exchangeTable[t][a][b] = std::int16_t(exchange(PieceType(t), a, b));
}

Signatures attackSignatures(const Position &pos, Square sq) { return scan(pos, sq, true); }

int see(const Position &pos, Move move) {
    Square from = moveFrom(move), to = moveTo(move);
    PieceType mover = pos.typeOn(from);
    // The push contribution belongs to a straight pawn move only; any other move sees the
    // pushing pawn as a blocker, so rooks and queens behind it do not count either.
    bool straightPawn = mover == PAWN && fileOf(from) == fileOf(to);
    Signatures sig = scan(pos, to, straightPawn);
    Colour us = Colour(pos.sideToMove);
    return exchangeTable[mover][sig.side[us]][sig.side[us ^ 1]] + CaptureValue[pos.typeOn(to)];
}

} // namespace search

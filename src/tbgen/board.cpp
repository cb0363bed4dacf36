#include "tbgen/board.h"

#include "position/attacks.h"

namespace tbgen {

using namespace position;

namespace {

PieceType typeOfKind(tablebases::Kind k) {
    constexpr PieceType TYPES[tablebases::KIND_COUNT] = {PAWN, KNIGHT, BISHOP, ROOK, QUEEN};
    return TYPES[k];
}

// The first king's squares of canonical boards: files e-h, and ranks 1-4 without pawns.
unsigned kingSquare(std::uint64_t k) { return unsigned((k >> 2) * 8 + (k & 3)); }
unsigned kingNumber(unsigned sq) { return (sq >> 3) * 4 + (sq & 7); }

} // namespace

Space makeSpace(const tablebases::TableInfo &t) {
    Space s;
    s.id = t.id;
    s.pawns = t.material.pawns;
    s.colour[0] = WHITE, s.colour[1] = BLACK;
    s.type[0] = s.type[1] = KING;
    s.slots = 2;
    for (int side = 0; side < 2; ++side)
        for (int i = 0; i < t.material.count[side]; ++i) {
            s.colour[s.slots] = Colour(side);
            s.type[s.slots] = typeOfKind(t.material.kinds[side][i]);
            s.radix[s.slots] = s.type[s.slots] == PAWN ? 48 : 64;
            s.pieceSpace *= s.radix[s.slots];
            ++s.slots;
        }
    bool pawnOf[2] = {};
    for (int i = 2; i < s.slots; ++i)
        if (s.type[i] == PAWN) pawnOf[s.colour[i]] = true;
    s.enPassant = pawnOf[0] && pawnOf[1];
    std::uint64_t kings = (s.pawns ? 32 : 16) * 64;
    s.size = kings * s.pieceSpace;
    s.stride[1] = s.pieceSpace;
    for (int i = s.slots - 1, step = 1; i >= 2; step *= int(s.radix[i--]))
        s.stride[i] = std::uint64_t(step);
    return s;
}

Board decode(const Space &s, std::uint64_t index) {
    Board b;
    std::uint64_t rest = index % s.pieceSpace, k = index / s.pieceSpace;
    for (int i = s.slots - 1; i >= 2; --i) {
        if (s.type[i] == PAWN) { // constant divisors: the compiler multiplies instead
            b.sq[i] = unsigned(rest % 48) + 8;
            rest /= 48;
        } else {
            b.sq[i] = unsigned(rest & 63);
            rest >>= 6;
        }
    }
    b.sq[0] = kingSquare(k >> 6);
    b.sq[1] = unsigned(k & 63);
    for (int i = s.slots; i < MAX_SLOTS; ++i)
        b.sq[i] = NO_SQUARE;
    return b;
}

std::uint64_t encode(const Space &s, const Board &b, unsigned *maskOut) {
    unsigned wk = b.sq[0];
    unsigned mask = ((wk & 7) >= 4 ? 7u : 0u) | (!s.pawns && (wk >> 3) >= 4 ? 56u : 0u);
    std::uint64_t index = kingNumber(wk ^ mask) * 64 + (b.sq[1] ^ mask);
    for (int i = 2; i < s.slots; ++i)
        index = index * s.radix[i] + ((b.sq[i] ^ mask) - (s.type[i] == PAWN ? 8 : 0));
    if (maskOut) *maskOut = mask;
    return index;
}

bool inCheck(const Space &s, const Board &b, int side) {
    return detail::attacked(s, b, 1 - side, b.sq[side]);
}

bool isLegal(const Space &s, const Board &b, int sideToMove) {
    Bitboard seen = 0;
    for (int i = 0; i < s.slots; ++i) {
        if (seen & squareBit(b.sq[i])) return false;
        seen |= squareBit(b.sq[i]);
    }
    return !inCheck(s, b, 1 - sideToMove);
}

bool canTakeEnPassant(const Space &s, const Board &b, int side, unsigned passed, bool requireLegal) {
    int forward = side == 0 ? 8 : -8;
    unsigned arrival = passed - forward, origin = passed + forward;
    Bitboard occ = detail::occupancy(s, b);
    if (occ & (squareBit(passed) | squareBit(origin))) return false;
    int victim = detail::slotAt(s, b, arrival);
    if (victim < 0 || s.type[victim] != PAWN || int(s.colour[victim]) == side) return false;
    for (int i = 2; i < s.slots; ++i) {
        if (int(s.colour[i]) != side || s.type[i] != PAWN) continue;
        if (!(PawnAttacksOf(Colour(side), squareBit(b.sq[i])) & squareBit(passed))) continue;
        if (!requireLegal) return true;
        Board after = b;
        after.sq[i] = passed;
        after.sq[victim] = NO_SQUARE;
        if (!inCheck(s, after, side)) return true;
    }
    return false;
}

void enPassantCandidates(const Space &s, const Board &b, int side, bool requireLegal, unsigned out[2]) {
    out[0] = out[1] = NO_EP;
    int n = 0;
    unsigned arrivalRank = side == 0 ? 4 : 3;
    for (int i = 2; i < s.slots; ++i) {
        if (int(s.colour[i]) == side || s.type[i] != PAWN || (b.sq[i] >> 3) != arrivalRank) continue;
        unsigned passed = side == 0 ? b.sq[i] + 8 : b.sq[i] - 8;
        if (canTakeEnPassant(s, b, side, passed, requireLegal)) out[n++] = passed;
    }
}

} // namespace tbgen

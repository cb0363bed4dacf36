#include "book/key.h"

#include "position/zobrist.h"

#include <cassert>

namespace book {

using namespace position;

namespace {

// The rook's corner that stands in for the king's destination when castling.
Square castlingTarget(Move move) {
    switch (move) {
    case CASTLE_WK: return SQ_H1;
    case CASTLE_WQ: return SQ_A1;
    case CASTLE_BK: return SQ_H8;
    default: return SQ_A8;
    }
}

} // namespace

std::uint64_t moveHash(const Position &pos, Move move) {
    Square from = moveFrom(move), to = moveTo(move);
    PieceType type = pos.typeOn(from);
    assert(type != NO_PIECE);
    if (type == KING && isCastlingValue(move)) to = castlingTarget(move);
    Square mirror = pos.sideToMove == BLACK ? 56 : 0;
    PieceType promotion = movePromotion(move);
    PieceType arriving = promotion != NO_PROMOTION ? promotion : type;
    return PieceKey[arriving][to ^ mirror] ^ PieceKey[type][from ^ mirror];
}

std::uint64_t bookKey(const Position &pos, Move move) {
    return ((moveHash(pos, move) & 0xFFFF) << 48) | (pos.key & POSITION_KEY_MASK);
}

} // namespace book

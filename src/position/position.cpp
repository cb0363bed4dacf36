#include "position/position.h"

#include "base/piece_tables.h"
#include "position/attacks.h"
#include "position/zobrist.h"

#include <cstring>

namespace position {

Position GamePosition;

void shrinkKeyHistory(Position &pos) {
    // Only a very long run of reversible moves gets here; the oldest half cannot repeat soon.
    constexpr std::uint32_t keep = KEY_HISTORY_SIZE / 2;
    std::memmove(pos.keyHistory, pos.keyHistory + (pos.historyCount - keep), keep * sizeof(std::uint64_t));
    pos.historyCount = keep;
}

Recomputed recompute(const Position &pos) {
    Recomputed r{};
    std::uint32_t m = pos.sideToMove;
    for (std::uint32_t c = 0; c < 2; ++c)
        for (std::uint32_t t = 0; t < 6; ++t)
            for (Bitboard b = pos.pieces[c][t]; b;) {
                Square sq = popLowest(b);
                r.key ^= pieceTerm(c, t, sq, m);
                if (t == PAWN) r.pawnKey ^= pawnTerm(c, sq);
                if (t != PAWN && t != KING) r.material[c] += base::PieceValue[t];
                r.pstMg[c] += base::PstMid[t][c][sq];
                r.pstEg[c] += base::PstEnd[t][c][sq];
            }
    for (std::uint32_t bit = 1; bit <= 8; bit <<= 1)
        if (!(pos.castling & bit)) r.key ^= castleTerm(bit, m);
    if (pos.epSquare != NO_SQUARE) r.key ^= Swap(EpWindow(int(pos.epSquare & 7)));
    return r;
}

bool positionIsConsistent(const Position &pos) {
    Bitboard seen[2] = {0, 0};
    for (std::uint32_t c = 0; c < 2; ++c)
        for (std::uint32_t t = 0; t < 6; ++t) {
            Bitboard b = pos.pieces[c][t];
            if (seen[0] & b || seen[1] & b) return false;
            seen[c] |= b;
            if (std::uint32_t(popCount(b)) != pos.pieceCount[c][t]) return false;
            for (Bitboard x = b; x;)
                if (pos.board[popLowest(x)] != makeCell(Colour(c), PieceType(t))) return false;
        }
    if (seen[0] != pos.occupied[0] || seen[1] != pos.occupied[1]) return false;
    Bitboard all = seen[0] | seen[1];
    for (Square sq = 0; sq < 64; ++sq)
        if (!(all & SquareBit[sq]) && pos.board[sq] != EMPTY_CELL) return false;
    for (std::uint32_t c = 0; c < 2; ++c)
        if (pos.pieceCount[c][KING] != 1 || pos.pieces[c][KING] != SquareBit[pos.kingSquare[c]]) return false;
    Recomputed r = recompute(pos);
    return r.key == pos.key && r.pawnKey == pos.pawnKey && std::memcmp(r.material, pos.material, 8) == 0 &&
           std::memcmp(r.pstMg, pos.pstMg, 8) == 0 && std::memcmp(r.pstEg, pos.pstEg, 8) == 0;
}

} // namespace position

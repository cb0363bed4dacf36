// The position record with its incrementally kept keys and sums, and the hash-key scheme.
#pragma once

#include "base/eval_scratch.h"
#include "position/types.h"

#include <cstdint>

namespace position {

constexpr int KEY_HISTORY_SIZE = 256;

struct Position {
    Bitboard pieces[2][6];
    Bitboard occupied[2];
    std::uint32_t board[64];
    std::uint32_t kingSquare[2];
    std::uint32_t pieceCount[2][6];
    std::uint64_t
        keyHistory[KEY_HISTORY_SIZE]; // key ^ sideToMove of each position since the last irreversible move
    std::uint32_t historyCount;
    // key .. fifty form the four words of UndoState; keep them together and in this order.
    std::uint64_t key;
    std::uint64_t pawnKey;
    std::uint32_t epSquare;
    std::uint32_t castling;
    std::uint32_t sideToMove;
    std::uint32_t fifty;
    std::int32_t material[2]; // queens, rooks, bishops and knights only
    std::int32_t pstMg[2];
    std::int32_t pstEg[2];
    base::EvalScratch evalWork;
    MoveEntry *moveList;
    std::uint32_t moveCount;

    Bitboard all() const { return occupied[0] | occupied[1]; }
    PieceType typeOn(Square sq) const { return cellType(board[sq]); }
    bool isEmpty(Square sq) const { return cellIsEmpty(board[sq]); }
    // 0 White, 1 Black, 2 empty.
    int colourOn(Square sq) const {
        Bitboard b = squareBit(sq);
        return (occupied[WHITE] & b) ? 0 : (occupied[BLACK] & b) ? 1 : 2;
    }
};

// The four words saved before a move and copied back by unmake.
struct UndoState {
    std::uint64_t key;
    std::uint64_t pawnKey;
    std::uint32_t epSquare;
    std::uint32_t castling;
    std::uint32_t sideToMove;
    std::uint32_t fifty;
};

inline UndoState saveUndo(const Position &pos) {
    return {pos.key, pos.pawnKey, pos.epSquare, pos.castling, pos.sideToMove, pos.fifty};
}
inline void restoreUndo(Position &pos, const UndoState &u) {
    pos.key = u.key;
    pos.pawnKey = u.pawnKey;
    pos.epSquare = u.epSquare;
    pos.castling = u.castling;
    pos.sideToMove = u.sideToMove;
    pos.fifty = u.fifty;
}

// The one game position that FEN input and the protocols' move lists change.
extern Position GamePosition;

// Drops the older half of a full repetition history.
void shrinkKeyHistory(Position &pos);
// Appends key ^ sideToMove to the repetition history; when it is full the older half is dropped.
inline void pushKeyHistory(Position &pos) {
    if (pos.historyCount >= KEY_HISTORY_SIZE) shrinkKeyHistory(pos);
    pos.keyHistory[pos.historyCount++] = pos.key ^ pos.sideToMove;
}

// Recomputes key, pawnKey, material and piece-square sums from the placement (for checks and tests).
struct Recomputed {
    std::uint64_t key, pawnKey;
    std::int32_t material[2], pstMg[2], pstEg[2];
};
Recomputed recompute(const Position &pos);

// Debug invariant check: bitboards, cells, counts, king squares and incremental fields agree.
bool positionIsConsistent(const Position &pos);

} // namespace position

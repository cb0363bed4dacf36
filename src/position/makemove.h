// Making and unmaking moves, attack and check tests, key prediction and repetition.
#pragma once

#include "position/attacks.h"
#include "position/position.h"

namespace position {

// Plays a pseudo-legal move of the side to move (NullMove included); reports the captured type
// (NO_PIECE for none). Legality is the caller's test: the mover's king may be left attacked.
void MakeMove(Position &pos, Move move, PieceType &capturedType);
// Takes a move back; `undo` holds the words saved with saveUndo before MakeMove.
void UnmakeMove(Position &pos, Move move, PieceType capturedType, const UndoState &undo);
void MakeNullMove(Position &pos);
void UnmakeNullMove(Position &pos, std::uint32_t savedEpSquare);

// Moves a piece of the side to move with key, pawn-key and piece-square updates (the castling rook).
void MovePieceWithKeys(Position &pos, PieceType type, Square from, Square to);

// Is sq attacked by colour `by` with the occupancy occ? The cheap step attacks are tried first,
// and a sliding lookup only when a slider of that kind stands on one of the square's lines.
inline bool squareIsAttacked(const Position &pos, Colour by, Square sq, Bitboard occ) {
    const Bitboard *p = pos.pieces[by];
    if ((PawnAttacksOf(~by, SquareBit[sq]) & p[PAWN]) | (KnightAttacks[sq] & p[KNIGHT]) |
        (KingAttacks[sq] & p[KING]))
        return true;
    Bitboard rq = (p[ROOK] | p[QUEEN]) & RookLines[sq], bq = (p[BISHOP] | p[QUEEN]) & BishopLines[sq];
    return (rq && (RookAttacks(sq, occ) & rq)) || (bq && (BishopAttacks(sq, occ) & bq));
}
inline bool IsSquareAttacked(const Position &pos, Colour byColour, Square sq) {
    return squareIsAttacked(pos, byColour, sq, pos.all());
}
// All pieces of colour `by` that attack sq, given occupancy occ.
Bitboard attackersOf(const Position &pos, Colour by, Square sq, Bitboard occ);
inline bool inCheck(const Position &pos) {
    return IsSquareAttacked(pos, Colour(pos.sideToMove ^ 1), pos.kingSquare[pos.sideToMove]);
}
// For moves that did not come from this position's generator (hash moves, killers, input).
bool IsMovePseudoLegal(const Position &pos, Move move);
bool GivesCheck(const Position &pos, Move move);
bool IsTacticalOrCheck(const Position &pos, Move move);
inline bool isCapture(const Position &pos, Move move) { return !pos.isEmpty(moveTo(move)); }
inline bool isEnPassant(const Position &pos, Move move) {
    return moveTo(move) == pos.epSquare && cellIsPawn(pos.board[moveFrom(move)]);
}
// The key MakeMove would produce, ignoring changes of castling rights.
std::uint64_t KeyAfterMove(const Position &pos, Move move);
// How often key (with `side` to move) occurred before the current position.
int RepetitionCount(const Position &pos, std::uint64_t key, std::uint32_t side);
// Can the opponent answer `move` with a reply that repeats an earlier position?
bool MoveAllowsRepetition(Position &pos, Move move, MoveEntry *scratch);

} // namespace position

#include "position/makemove.h"

#include "base/piece_tables.h"
#include "position/attacks.h"
#include "position/castling.h"
#include "position/movegen.h"
#include "position/zobrist.h"

namespace position {

namespace {

// A king move of e1g1, e1c1, e8g8 or e8c8 castles only in the standard layout.
bool standardCastling(Move m) { return isCastlingValue(m) && !Castling.chess960; }

struct RookHop {
    Square from, to;
};
// The rook move implied by a castling move (by the king's to-square).
RookHop castlingRook(Square kingTo) {
    switch (kingTo) {
    case SQ_G1: return {SQ_H1, SQ_F1};
    case SQ_C1: return {SQ_A1, SQ_D1};
    case SQ_G8: return {SQ_H8, SQ_F8};
    default: return {SQ_A8, SQ_D8};
    }
}

// Placement without keys: bitboards, cells, counts, king square, material and table sums.
void placePiece(Position &pos, Colour c, PieceType t, Square sq) {
    Bitboard b = SquareBit[sq];
    pos.pieces[c][t] |= b;
    pos.occupied[c] |= b;
    pos.board[sq] = makeCell(c, t);
    pos.pieceCount[c][t]++;
    if (t != PAWN && t != KING) pos.material[c] += base::PieceValue[t];
    if (t == KING) pos.kingSquare[c] = sq;
    pos.pstMg[c] += base::PstMid[t][c][sq];
    pos.pstEg[c] += base::PstEnd[t][c][sq];
}

void liftPiece(Position &pos, Colour c, PieceType t, Square sq) {
    Bitboard b = SquareBit[sq];
    pos.pieces[c][t] ^= b;
    pos.occupied[c] ^= b;
    pos.board[sq] = EMPTY_CELL;
    pos.pieceCount[c][t]--;
    if (t != PAWN && t != KING) pos.material[c] -= base::PieceValue[t];
    pos.pstMg[c] -= base::PstMid[t][c][sq];
    pos.pstEg[c] -= base::PstEnd[t][c][sq];
}

void shiftPiece(Position &pos, Colour c, PieceType t, Square from, Square to) {
    Bitboard b = SquareBit[from] | SquareBit[to];
    pos.pieces[c][t] ^= b;
    pos.occupied[c] ^= b;
    pos.board[to] = pos.board[from];
    pos.board[from] = EMPTY_CELL;
    if (t == KING) pos.kingSquare[c] = to;
    pos.pstMg[c] += base::PstMid[t][c][to] - base::PstMid[t][c][from];
    pos.pstEg[c] += base::PstEnd[t][c][to] - base::PstEnd[t][c][from];
}

// The square of the pawn an en-passant capture removes: the to-square's file, the from-square's rank.
constexpr Square epVictimSquare(Square from, Square to) { return (from & 56) | (to & 7); }

bool opponentPawnAttacks(const Position &pos, Colour mover, Square sq) {
    return PawnAttacksOf(mover, SquareBit[sq]) & pos.pieces[~mover][PAWN];
}

} // namespace

void MovePieceWithKeys(Position &pos, PieceType type, Square from, Square to) {
    Colour c = Colour(pos.sideToMove);
    shiftPiece(pos, c, type, from, to);
    pos.key ^= pieceTerm(c, type, from, c) ^ pieceTerm(c, type, to, c);
    if (type == PAWN) pos.pawnKey ^= pawnTerm(c, from) ^ pawnTerm(c, to);
}

void MakeMove(Position &pos, Move move, PieceType &capturedType) {
    Colour us = Colour(pos.sideToMove), them = ~us;
    if (pos.epSquare != NO_SQUARE) {
        pos.key ^= Swap(EpKey[pos.epSquare & 7]);
        pos.epSquare = NO_SQUARE;
    }
    capturedType = NO_PIECE;
    if (isFlaggedCastling(move)) {
        // King and rook leave first: either may land where the other stood.
        std::uint32_t right = castlingRightOf(move);
        Square king = moveFrom(move), rook = moveTo(move);
        Square kingTo = castledKingSquare(right), rookTo = castledRookSquare(right);
        liftPiece(pos, us, KING, king);
        liftPiece(pos, us, ROOK, rook);
        placePiece(pos, us, KING, kingTo);
        placePiece(pos, us, ROOK, rookTo);
        pos.key ^= pieceTerm(us, KING, king, us) ^ pieceTerm(us, KING, kingTo, us) ^ pieceTerm(us, ROOK, rook, us) ^
                   pieceTerm(us, ROOK, rookTo, us);
        std::uint32_t lost = pos.castling & (Castling.loss[king] | Castling.loss[rook]);
        pos.castling ^= lost;
        pos.key ^= LostCastleKey[us][lost];
    } else if (move != NullMove) {
        Square from = moveFrom(move), to = moveTo(move);
        // 1. Capture.
        capturedType = pos.typeOn(to);
        if (capturedType != NO_PIECE) {
            liftPiece(pos, them, capturedType, to);
            pos.key ^= pieceTerm(them, capturedType, to, us);
            if (capturedType == PAWN) pos.pawnKey ^= pawnTerm(them, to);
            pos.fifty = 0;
        }
        // 2. Special cases of the moving piece.
        PieceType mover = pos.typeOn(from);
        if (mover == KING) {
            if (standardCastling(move)) {
                RookHop r = castlingRook(to);
                MovePieceWithKeys(pos, ROOK, r.from, r.to);
            }
        } else if (mover == PAWN) {
            pos.fifty = 0;
            if (((from ^ to) & 7) == 0) {
                if (from - to == 16 || to - from == 16) {
                    Square passed = (from + to) / 2;
                    if (opponentPawnAttacks(pos, us, passed)) {
                        pos.epSquare = passed;
                        pos.key ^= EpKey[passed & 7];
                    }
                }
            } else if (capturedType == NO_PIECE) {
                Square victim = epVictimSquare(from, to);
                liftPiece(pos, them, PAWN, victim);
                pos.key ^= pieceTerm(them, PAWN, victim, us);
                pos.pawnKey ^= pawnTerm(them, victim);
            }
        }
        // 3. The move itself.
        PieceType promotion = movePromotion(move);
        if (promotion != NO_PROMOTION) {
            liftPiece(pos, us, PAWN, from);
            pos.key ^= pieceTerm(us, PAWN, from, us);
            pos.pawnKey ^= pawnTerm(us, from);
            placePiece(pos, us, promotion, to);
            pos.key ^= pieceTerm(us, promotion, to, us);
        } else {
            MovePieceWithKeys(pos, mover, from, to);
        }
        // 4. Castling rights touched by the move.
        std::uint32_t lost = pos.castling & (Castling.loss[from] | Castling.loss[to]);
        pos.castling ^= lost;
        pos.key ^= LostCastleKey[us][lost];
    }
    pos.key = Swap(pos.key);
    pos.sideToMove = them;
    pushKeyHistory(pos);
    pos.fifty++;
}

void UnmakeMove(Position &pos, Move move, PieceType capturedType, const UndoState &undo) {
    if (move == NullMove) {
        UnmakeNullMove(pos, undo.epSquare);
        return;
    }
    pos.historyCount--;
    Colour us = Colour(pos.sideToMove ^ 1), them = ~us;
    pos.sideToMove = us;
    if (isFlaggedCastling(move)) {
        std::uint32_t right = castlingRightOf(move);
        liftPiece(pos, us, KING, castledKingSquare(right));
        liftPiece(pos, us, ROOK, castledRookSquare(right));
        placePiece(pos, us, KING, moveFrom(move));
        placePiece(pos, us, ROOK, moveTo(move));
        restoreUndo(pos, undo);
        return;
    }
    Square from = moveFrom(move), to = moveTo(move);
    if (to == undo.epSquare && cellIsPawn(pos.board[to]))
        placePiece(pos, them, PAWN, epVictimSquare(from, to));
    PieceType moved = pos.typeOn(to);
    if (moved == KING && standardCastling(move)) {
        RookHop r = castlingRook(to);
        shiftPiece(pos, us, ROOK, r.to, r.from);
    }
    if (movePromotion(move) != NO_PROMOTION) {
        liftPiece(pos, us, moved, to);
        placePiece(pos, us, PAWN, from);
    } else {
        shiftPiece(pos, us, moved, to, from);
    }
    if (capturedType != NO_PIECE) placePiece(pos, them, capturedType, to);
    restoreUndo(pos, undo);
}

void MakeNullMove(Position &pos) {
    pos.sideToMove ^= 1;
    if (pos.epSquare != NO_SQUARE) {
        pos.key ^= Swap(EpKey[pos.epSquare & 7]);
        pos.epSquare = NO_SQUARE;
    }
    pos.key = Swap(pos.key);
    pushKeyHistory(pos);
}

void UnmakeNullMove(Position &pos, std::uint32_t savedEpSquare) {
    pos.key = Swap(pos.key);
    if (savedEpSquare != NO_SQUARE) {
        pos.epSquare = savedEpSquare;
        pos.key ^= Swap(EpKey[savedEpSquare & 7]);
    }
    pos.historyCount--;
    pos.sideToMove ^= 1;
}

Bitboard attackersOf(const Position &pos, Colour by, Square sq, Bitboard occ) {
    const Bitboard *p = pos.pieces[by];
    Bitboard a = (PawnAttacksOf(~by, SquareBit[sq]) & p[PAWN]) | (KnightAttacks[sq] & p[KNIGHT]) |
                 (KingAttacks[sq] & p[KING]);
    Bitboard rq = p[ROOK] | p[QUEEN], bq = p[BISHOP] | p[QUEEN];
    if (RookLines[sq] & rq) a |= RookAttacks(sq, occ) & rq;
    if (BishopLines[sq] & bq) a |= BishopAttacks(sq, occ) & bq;
    return a;
}

bool IsMovePseudoLegal(const Position &pos, Move m) {
    if (m == NO_MOVE || m == NullMove) return false;
    Colour us = Colour(pos.sideToMove);
    if (isFlaggedCastling(m)) {
        std::uint32_t right = castlingRightOf(m);
        return Castling.chess960 && rankOf(moveFrom(m)) == (us == WHITE ? 0 : 7) && castlingMove(right) == m &&
               castlingAllowed(pos, right);
    }
    Square from = moveFrom(m), to = moveTo(m);
    if (!(pos.occupied[us] & SquareBit[from]) || (pos.occupied[us] & SquareBit[to])) return false;
    PieceType type = pos.typeOn(from);
    bool lastRank = rankOf(to) == 0 || rankOf(to) == 7;
    bool promotes = movePromotion(m) != NO_PROMOTION;
    if (promotes != (type == PAWN && lastRank)) return false;
    if (promotes && movePromotion(m) > KNIGHT) return false;
    Bitboard occ = pos.all(), target = SquareBit[to];
    switch (type) {
    case KNIGHT: return KnightAttacks[from] & target;
    case BISHOP: return BishopAttacks(from, occ) & target;
    case ROOK: return RookAttacks(from, occ) & target;
    case QUEEN: return QueenAttacks(from, occ) & target;
    case KING: {
        if (KingAttacks[from] & target) return true;
        if (Castling.chess960) return false; // its castling moves are flagged
        auto rookAt = [&](Square sq) { return pos.board[sq] == makeCell(us, ROOK); };
        auto empty = [&](Square sq) { return pos.isEmpty(sq); };
        switch (m) {
        // Castling also needs its right: a stored or typed castling move without it is refused.
        case CASTLE_WK:
            return us == WHITE && (pos.castling & CASTLE_K) && rookAt(SQ_H1) && empty(SQ_F1) && empty(SQ_G1);
        case CASTLE_WQ:
            return us == WHITE && (pos.castling & CASTLE_Q) && rookAt(SQ_A1) && empty(SQ_B1) &&
                   empty(SQ_C1) && empty(SQ_D1);
        case CASTLE_BK:
            return us == BLACK && (pos.castling & CASTLE_k) && rookAt(SQ_H8) && empty(SQ_F8) && empty(SQ_G8);
        case CASTLE_BQ:
            return us == BLACK && (pos.castling & CASTLE_q) && rookAt(SQ_A8) && empty(SQ_B8) &&
                   empty(SQ_C8) && empty(SQ_D8);
        default: return false;
        }
    }
    case PAWN: {
        int forward = us == WHITE ? 8 : -8;
        if (int(to) - int(from) == forward) return pos.isEmpty(to);
        if (int(to) - int(from) == 2 * forward)
            return rankOf(from) == (us == WHITE ? 1 : 6) && pos.isEmpty(to) &&
                   pos.isEmpty(Square(int(from) + forward));
        if (PawnAttacksOf(us, SquareBit[from]) & target)
            return (pos.occupied[~us] & target) || to == pos.epSquare;
        return false;
    }
    default: return false;
    }
}

bool GivesCheck(const Position &pos, Move m) {
    Colour us = Colour(pos.sideToMove), them = ~us;
    if (isFlaggedCastling(m)) {
        std::uint32_t right = castlingRightOf(m);
        Square rookTo = castledRookSquare(right), enemyKing = pos.kingSquare[them];
        Bitboard occ = (pos.all() & ~SquareBit[moveFrom(m)] & ~SquareBit[moveTo(m)]) |
                       SquareBit[castledKingSquare(right)] | SquareBit[rookTo];
        Bitboard rooks = (pos.pieces[us][ROOK] & ~SquareBit[moveTo(m)]) | SquareBit[rookTo] | pos.pieces[us][QUEEN];
        Bitboard bishops = pos.pieces[us][BISHOP] | pos.pieces[us][QUEEN];
        return (RookAttacks(enemyKing, occ) & rooks) || (BishopAttacks(enemyKing, occ) & bishops);
    }
    Square from = moveFrom(m), to = moveTo(m), king = pos.kingSquare[them];
    PieceType type = pos.typeOn(from);
    Bitboard occ = (pos.all() | SquareBit[to]) & ~SquareBit[from];
    bool enPassant = type == PAWN && to == pos.epSquare;
    if (enPassant) occ &= ~SquareBit[epVictimSquare(from, to)];
    // A line piece on sq sees the king when sq is on the king's line with nothing in between:
    // one table lookup instead of the king's whole attack set.
    auto rookSees = [&](Square sq) {
        return (RookLines[king] & SquareBit[sq]) && !(Between[king][sq] & occ);
    };
    auto bishopSees = [&](Square sq) {
        return (BishopLines[king] & SquareBit[sq]) && !(Between[king][sq] & occ);
    };
    if (movePromotion(m) == NO_PROMOTION) {
        switch (type) {
        case QUEEN:
            if (rookSees(to) || bishopSees(to)) return true;
            break;
        case ROOK:
            if (rookSees(to)) return true;
            break;
        case BISHOP:
            if (bishopSees(to)) return true;
            break;
        case KNIGHT:
            if (KnightAttacks[to] & SquareBit[king]) return true;
            break;
        case PAWN:
            if (PawnAttacksOf(us, SquareBit[to]) & SquareBit[king]) return true;
            break;
        case KING:
            if (standardCastling(m) && rookSees(castlingRook(to).to)) return true;
            break;
        default: break;
        }
    }
    // Discovered checks: the moved piece's own square is excluded from the sliders. The line
    // lookups are made only when such a slider stands on one of the king's lines at all.
    Bitboard rq = (pos.pieces[us][ROOK] | pos.pieces[us][QUEEN]) & ~SquareBit[from] & RookLines[king];
    Bitboard bq = (pos.pieces[us][BISHOP] | pos.pieces[us][QUEEN]) & ~SquareBit[from] & BishopLines[king];
    return (rq && (RookAttacks(king, occ) & rq)) || (bq && (BishopAttacks(king, occ) & bq));
}

bool IsTacticalOrCheck(const Position &pos, Move m) {
    return isCapture(pos, m) || isEnPassant(pos, m) || movePromotion(m) != NO_PROMOTION || GivesCheck(pos, m);
}

std::uint64_t KeyAfterMove(const Position &pos, Move m) {
    Colour us = Colour(pos.sideToMove), them = ~us;
    if (isFlaggedCastling(m)) {
        std::uint32_t right = castlingRightOf(m);
        std::uint64_t key = pos.key;
        if (pos.epSquare != NO_SQUARE) key ^= Swap(EpKey[pos.epSquare & 7]);
        key ^= pieceTerm(us, KING, moveFrom(m), us) ^ pieceTerm(us, KING, castledKingSquare(right), us) ^
               pieceTerm(us, ROOK, moveTo(m), us) ^ pieceTerm(us, ROOK, castledRookSquare(right), us);
        return Swap(key);
    }
    Square from = moveFrom(m), to = moveTo(m);
    PieceType type = pos.typeOn(from), captured = pos.typeOn(to);
    std::uint64_t key = pos.key;
    if (pos.epSquare != NO_SQUARE) key ^= Swap(EpKey[pos.epSquare & 7]);
    if (captured != NO_PIECE) key ^= pieceTerm(them, captured, to, us);
    if (type == KING && fileOf(from) == fileOf(SQ_E1)) {
        if (fileOf(to) == fileOf(SQ_G1))
            key ^= pieceTerm(us, ROOK, SQ_H1 ^ (56 * us), us) ^ pieceTerm(us, ROOK, SQ_F1 ^ (56 * us), us);
        if (fileOf(to) == fileOf(SQ_C1))
            key ^= pieceTerm(us, ROOK, SQ_A1 ^ (56 * us), us) ^ pieceTerm(us, ROOK, SQ_D1 ^ (56 * us), us);
    }
    if (type == PAWN) {
        if (from - to == 16 || to - from == 16) {
            Square passed = (from + to) / 2;
            if (opponentPawnAttacks(pos, us, passed)) key ^= EpKey[passed & 7];
        } else if (to == pos.epSquare && captured == NO_PIECE) {
            key ^= pieceTerm(them, PAWN, epVictimSquare(from, to), us);
        }
    }
    PieceType promotion = movePromotion(m);
    if (promotion != NO_PROMOTION)
        key ^= pieceTerm(us, PAWN, from, us) ^ pieceTerm(us, promotion, to, us);
    else
        key ^= pieceTerm(us, type, from, us) ^ pieceTerm(us, type, to, us);
    return Swap(key);
}

int RepetitionCount(const Position &pos, std::uint64_t key, std::uint32_t side) {
    std::uint64_t wanted = key ^ side;
    const std::uint64_t *h = pos.keyHistory;
    std::uint32_t n = pos.historyCount ? pos.historyCount - 1 : 0, i = 0;
    // Two counters let neighbouring comparisons run side by side (this runs at every node).
    int even = 0, odd = 0;
    for (; i + 1 < n; i += 2) {
        even += h[i] == wanted;
        odd += h[i + 1] == wanted;
    }
    if (i < n) even += h[i] == wanted;
    return even + odd;
}

bool MoveAllowsRepetition(Position &pos, Move move, MoveEntry *scratch) {
    UndoState undo = saveUndo(pos);
    PieceType captured;
    std::uint32_t mover = pos.sideToMove;
    MakeMove(pos, move, captured);
    MoveEntry *savedList = pos.moveList;
    std::uint32_t savedCount = pos.moveCount;
    int n = GenerateLegal(pos, scratch);
    bool repeats = false;
    for (int i = 0; i < n && !repeats; ++i)
        repeats = RepetitionCount(pos, KeyAfterMove(pos, entryMove(scratch[i])), mover) >= 1;
    pos.moveList = savedList;
    pos.moveCount = savedCount;
    UnmakeMove(pos, move, captured, undo);
    return repeats;
}

} // namespace position

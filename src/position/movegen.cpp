#include "position/movegen.h"

#include "position/attacks.h"
#include "position/makemove.h"

namespace position {

std::int8_t OrderingPST[6][2][64];
int CaptureValue[7] = {20000, 975, 500, 335, 325, 100, 0};
std::int16_t History[4096];
bool HistoryOrdering = false;

namespace {

// Subtracted from the captured value in GenerateToTargets, by moving piece (King .. Knight).
constexpr int CAPTURER_PENALTY[5] = {10, 9, 5, 4, 3};

constexpr Bitboard RANK_3 = RANK_MASK[2], RANK_6 = RANK_MASK[5];
constexpr Bitboard RANK_1_OR_8 = RANK_MASK[0] | RANK_MASK[7];

// Promotion types in the order they are emitted.
constexpr PieceType PROMOTIONS[4] = {QUEEN, ROOK, BISHOP, KNIGHT};

inline Bitboard pushOne(Colour c, Bitboard b) { return c == WHITE ? b << 8 : b >> 8; }
inline int forward(Colour c) { return c == WHITE ? 8 : -8; }

// The two capture directions of a pawn, as (to - from) and the mask of pawns that may use it.
struct PawnCapture {
    int delta;
    Bitboard fromMask;
};
inline PawnCapture captureDirection(Colour c, int side) {
    if (c == WHITE) return side == 0 ? PawnCapture{9, NOT_FILE_A} : PawnCapture{7, NOT_FILE_H};
    return side == 0 ? PawnCapture{-9, NOT_FILE_H} : PawnCapture{-7, NOT_FILE_A};
}
inline Bitboard shiftBy(Bitboard b, int delta) { return delta > 0 ? b << delta : b >> -delta; }

Bitboard pieceAttacks(PieceType t, Square sq, Bitboard occ) {
    switch (t) {
    case KNIGHT: return KnightAttacks[sq];
    case BISHOP: return BishopAttacks(sq, occ);
    case ROOK: return RookAttacks(sq, occ);
    case QUEEN: return QueenAttacks(sq, occ);
    default: return KingAttacks[sq];
    }
}

// Squares the opponent attacks, with the moving side's king taken off the board so that it
// cannot hide behind itself on a checking line.
Bitboard attackedBy(const Position &pos, Colour them) {
    Bitboard occ = pos.all() & ~pos.pieces[~them][KING];
    const Bitboard *p = pos.pieces[them];
    Bitboard a = PawnAttacksOf(them, p[PAWN]) | KingAttacks[pos.kingSquare[them]];
    for (Bitboard b = p[KNIGHT]; b;)
        a |= KnightAttacks[popLowest(b)];
    for (Bitboard b = p[BISHOP] | p[QUEEN]; b;)
        a |= BishopAttacks(popLowest(b), occ);
    for (Bitboard b = p[ROOK] | p[QUEEN]; b;)
        a |= RookAttacks(popLowest(b), occ);
    return a;
}

// Own pieces standing between the own king and an opponent slider of the matching kind.
Bitboard pinnedPieces(const Position &pos, Colour us) {
    Colour them = ~us;
    Square king = pos.kingSquare[us];
    Bitboard occ = pos.all();
    Bitboard snipers = (RookLines[king] & (pos.pieces[them][ROOK] | pos.pieces[them][QUEEN])) |
                       (BishopLines[king] & (pos.pieces[them][BISHOP] | pos.pieces[them][QUEEN]));
    Bitboard pinned = 0;
    while (snipers) {
        Bitboard between = Between[king][popLowest(snipers)] & occ;
        if (between && !(between & (between - 1))) pinned |= between & pos.occupied[us];
    }
    return pinned;
}

// An en-passant capture removes two pawns from their squares: it is legal only if no slider
// then sees the king.
bool enPassantIsLegal(const Position &pos, Square from, Square to) {
    Colour us = Colour(pos.sideToMove), them = ~us;
    Square king = pos.kingSquare[us];
    Square victim = (from & 56) | (to & 7);
    Bitboard occ = (pos.all() ^ SquareBit[from] ^ SquareBit[victim]) | SquareBit[to];
    return !(RookAttacks(king, occ) & (pos.pieces[them][ROOK] | pos.pieces[them][QUEEN])) &&
           !(BishopAttacks(king, occ) & (pos.pieces[them][BISHOP] | pos.pieces[them][QUEEN]));
}

// Piece moves (king, knights, bishops, rooks, queens in this order) onto `targets`.
template <bool CaptureBonus> void addPieceMoves(Position &pos, Bitboard targets, Bitboard noKing) {
    Colour us = Colour(pos.sideToMove);
    Bitboard occ = pos.all();
    constexpr PieceType order[5] = {KING, KNIGHT, BISHOP, ROOK, QUEEN};
    for (PieceType t : order) {
        for (Bitboard pieces = pos.pieces[us][t]; pieces;) {
            Square from = popLowest(pieces);
            Bitboard to = pieceAttacks(t, from, occ) & targets;
            if (t == KING) to &= ~noKing;
            while (to) {
                Square sq = popLowest(to);
                int bonus = CaptureBonus ? CaptureValue[pos.typeOn(sq)] - CAPTURER_PENALTY[t] : 0;
                AddMove(pos, t, from, sq, 0, bonus);
            }
        }
    }
}

void addPromotions(Position &pos, Square from, Square to, int bonus, bool queenOnly) {
    for (PieceType p : PROMOTIONS) {
        AddMove(pos, PAWN, from, to, p, bonus);
        if (queenOnly) break;
    }
}

// Pawn captures onto `targets` (both directions in turn), en passant included.
void addPawnCaptures(Position &pos, Bitboard pawns, Bitboard targets, bool withBonus, bool queenOnly) {
    Colour us = Colour(pos.sideToMove);
    Bitboard epBit = SquareBit[pos.epSquare];
    for (int side = 0; side < 2; ++side) {
        PawnCapture d = captureDirection(us, side);
        Bitboard to = shiftBy(pawns & d.fromMask, d.delta) & (targets | epBit);
        while (to) {
            Square sq = popLowest(to);
            Square from = Square(int(sq) - d.delta);
            int bonus = withBonus ? CaptureValue[pos.typeOn(sq)] : 0;
            if (SquareBit[sq] & RANK_1_OR_8)
                addPromotions(pos, from, sq, bonus + (withBonus ? CaptureValue[QUEEN] : 0), queenOnly);
            else
                AddMove(pos, PAWN, from, sq, 0, bonus);
        }
    }
}

void addPawnPushes(Position &pos, Bitboard pawns, Bitboard targets) {
    Colour us = Colour(pos.sideToMove);
    Bitboard empty = ~pos.all();
    Bitboard single = pushOne(us, pawns) & empty;
    Bitboard twice = pushOne(us, single & (us == WHITE ? RANK_3 : RANK_6)) & empty & targets;
    single &= targets;
    int f = forward(us);
    for (Bitboard b = single; b;) {
        Square to = popLowest(b);
        if (SquareBit[to] & RANK_1_OR_8)
            addPromotions(pos, Square(int(to) - f), to, 0, false);
        else
            AddMove(pos, PAWN, Square(int(to) - f), to, 0, 0);
    }
    for (Bitboard b = twice; b;) {
        Square to = popLowest(b);
        AddMove(pos, PAWN, Square(int(to) - 2 * f), to, 0, 0);
    }
}

void addCastling(Position &pos) {
    Colour us = Colour(pos.sideToMove), them = ~us;
    auto free = [&](Square a, Square b, Square c = NO_SQUARE) {
        return !(pos.all() & (SquareBit[a] | SquareBit[b] | SquareBit[c]));
    };
    auto safe = [&](Square a, Square b) {
        return !IsSquareAttacked(pos, them, a) && !IsSquareAttacked(pos, them, b);
    };
    if (us == WHITE) {
        if ((pos.castling & CASTLE_K) && free(SQ_F1, SQ_G1) && safe(SQ_F1, SQ_G1))
            AddMove(pos, KING, SQ_E1, SQ_G1, 0, 0);
        if ((pos.castling & CASTLE_Q) && free(SQ_D1, SQ_C1, SQ_B1) && safe(SQ_D1, SQ_C1))
            AddMove(pos, KING, SQ_E1, SQ_C1, 0, 0);
    } else {
        if ((pos.castling & CASTLE_k) && free(SQ_F8, SQ_G8) && safe(SQ_F8, SQ_G8))
            AddMove(pos, KING, SQ_E8, SQ_G8, 0, 0);
        if ((pos.castling & CASTLE_q) && free(SQ_D8, SQ_C8, SQ_B8) && safe(SQ_D8, SQ_C8))
            AddMove(pos, KING, SQ_E8, SQ_C8, 0, 0);
    }
}

void startList(Position &pos, MoveEntry *list) {
    pos.moveList = list;
    pos.moveCount = 0;
}

} // namespace

void AddMove(Position &pos, PieceType type, Square from, Square to, std::uint32_t promotion, int bonus) {
    Move m = makeMove(from, to, promotion);
    int score;
    if (HistoryOrdering && pos.isEmpty(to) && promotion == 0 && !(type == PAWN && to == pos.epSquare))
        score = History[from * 64 + to];
    else {
        Colour c = Colour(pos.sideToMove);
        score = OrderingPST[type][c][to] - OrderingPST[type][c][from] + bonus;
    }
    pos.moveList[pos.moveCount++] = makeEntry(m, score);
}

int GenerateAll(Position &pos, MoveEntry *list) {
    startList(pos, list);
    Colour us = Colour(pos.sideToMove), them = ~us;
    Bitboard notOwn = ~pos.occupied[us];
    addPieceMoves<false>(pos, notOwn, KingAttacks[pos.kingSquare[them]]);
    addPawnCaptures(pos, pos.pieces[us][PAWN], pos.occupied[them], false, false);
    addPawnPushes(pos, pos.pieces[us][PAWN], ~Bitboard(0));
    addCastling(pos);
    return int(pos.moveCount);
}

int GenerateToTargets(Position &pos, MoveEntry *list, Bitboard targets) {
    startList(pos, list);
    Colour us = Colour(pos.sideToMove), them = ~us;
    addPieceMoves<true>(pos, targets & ~pos.occupied[us], KingAttacks[pos.kingSquare[them]]);
    Bitboard pawns = pos.pieces[us][PAWN];
    addPawnCaptures(pos, pawns, targets & pos.occupied[them], true, true);
    // Quiet pawn pushes worth searching with the captures: promotions (as a queen), pushes to
    // the seventh rank, and pushes that shut an enemy bishop into a corner.
    Bitboard empty = ~pos.all();
    Bitboard single = pushOne(us, pawns) & empty;
    Bitboard seventh = us == WHITE ? RANK_MASK[6] : RANK_MASK[1];
    Bitboard wanted = RANK_1_OR_8 | seventh;
    // (pawn square, bishop square) pairs for White; Black uses the mirror.
    static constexpr Square TRAP[6][2] = {{17, 8}, {22, 15}, {25, 16}, {30, 23}, {42, 56}, {45, 63}};
    for (const auto &t : TRAP) {
        Square pawnSq = us == WHITE ? t[0] : t[0] ^ 56, bishopSq = us == WHITE ? t[1] : t[1] ^ 56;
        if (pos.board[bishopSq] == makeCell(them, BISHOP)) wanted |= SquareBit[pawnSq];
    }
    int f = forward(us);
    Bitboard twice = pushOne(us, single & (us == WHITE ? RANK_3 : RANK_6)) & empty & wanted;
    for (Bitboard b = single & wanted; b;) {
        Square to = popLowest(b);
        bool promotes = SquareBit[to] & RANK_1_OR_8;
        AddMove(pos, PAWN, Square(int(to) - f), to, promotes ? std::uint32_t(QUEEN) : 0u,
                promotes ? CaptureValue[QUEEN] : 0);
    }
    for (Bitboard b = twice; b;) {
        Square to = popLowest(b);
        AddMove(pos, PAWN, Square(int(to) - 2 * f), to, 0, 0);
    }
    return int(pos.moveCount);
}

int GenerateEvasions(Position &pos, MoveEntry *list) {
    startList(pos, list);
    Colour us = Colour(pos.sideToMove), them = ~us;
    Square king = pos.kingSquare[us];
    Bitboard occ = pos.all();
    Bitboard checkers = attackersOf(pos, them, king, occ);
    if (!(checkers & (checkers - 1))) {
        Square checker = lowestSquare(checkers);
        Bitboard targets = checkers | Between[king][checker];
        Bitboard movable = ~pinnedPieces(pos, us);
        constexpr PieceType order[4] = {KNIGHT, BISHOP, ROOK, QUEEN};
        for (PieceType t : order)
            for (Bitboard pieces = pos.pieces[us][t] & movable; pieces;) {
                Square from = popLowest(pieces);
                for (Bitboard to = pieceAttacks(t, from, occ) & targets; to;)
                    AddMove(pos, t, from, popLowest(to), 0, 0);
            }
        Bitboard pawns = pos.pieces[us][PAWN] & movable;
        std::uint32_t savedEp = pos.epSquare;
        // En passant answers a check when it takes the pawn that just moved two squares, or
        // when the capturing pawn lands between a checking slider and the king.
        if (pos.epSquare != NO_SQUARE) {
            Square victim = Square(int(pos.epSquare) - forward(us));
            if (!(checkers & SquareBit[victim]) && !(Between[king][checker] & SquareBit[pos.epSquare]))
                pos.epSquare = NO_SQUARE;
        }
        std::uint32_t before = pos.moveCount;
        addPawnCaptures(pos, pawns, checkers, false, false);
        // An en-passant capture can still uncover a line onto the king: drop it then.
        for (std::uint32_t i = before; i < pos.moveCount; ++i) {
            Move m = entryMove(pos.moveList[i]);
            if (moveTo(m) == pos.epSquare && !enPassantIsLegal(pos, moveFrom(m), moveTo(m)))
                pos.moveList[i--] = pos.moveList[--pos.moveCount];
        }
        pos.epSquare = savedEp;
        addPawnPushes(pos, pawns, targets & ~checkers);
    }
    Bitboard attacked = attackedBy(pos, them);
    for (Bitboard to = KingAttacks[king] & ~pos.occupied[us] & ~attacked; to;)
        AddMove(pos, KING, king, popLowest(to), 0, 0);
    return int(pos.moveCount);
}

int GenerateLegal(Position &pos, MoveEntry *list) {
    Colour us = Colour(pos.sideToMove), them = ~us;
    Square king = pos.kingSquare[us];
    if (IsSquareAttacked(pos, them, king)) return GenerateEvasions(pos, list);
    GenerateAll(pos, list);
    Bitboard pinned = pinnedPieces(pos, us);
    Bitboard occWithoutKing = pos.all() ^ SquareBit[king];
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < pos.moveCount; ++i) {
        MoveEntry e = pos.moveList[i];
        Move m = entryMove(e);
        Square from = moveFrom(m), to = moveTo(m);
        bool legal = true;
        if (from == king) {
            if (!isCastlingValue(m) || (KingAttacks[from] & SquareBit[to]))
                legal = !attackersOf(pos, them, to, occWithoutKing);
        } else if (to == pos.epSquare && cellIsPawn(pos.board[from])) {
            legal = enPassantIsLegal(pos, from, to);
        } else if (pinned & SquareBit[from]) {
            // A pinned piece stays on the line through the king and itself.
            legal = (Between[king][to] & SquareBit[from]) || (Between[king][from] & SquareBit[to]) ||
                    (Between[from][to] & SquareBit[king]);
        }
        if (legal) pos.moveList[kept++] = e;
    }
    pos.moveCount = kept;
    return int(kept);
}

} // namespace position

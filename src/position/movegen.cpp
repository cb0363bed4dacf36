#include "position/movegen.h"

#include "position/attacks.h"
#include "position/castling.h"
#include "position/makemove.h"

namespace position {

std::int8_t OrderingPST[6][2][64];

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

template <PieceType T> Bitboard pieceAttacks(Square sq, Bitboard occ) {
    if constexpr (T == KNIGHT)
        return KnightAttacks[sq];
    else if constexpr (T == BISHOP)
        return BishopAttacks(sq, occ);
    else if constexpr (T == ROOK)
        return RookAttacks(sq, occ);
    else if constexpr (T == QUEEN)
        return QueenAttacks(sq, occ);
    else
        return KingAttacks[sq];
}

template <PieceType T> Bitboard emptyBoardAttacks(Square sq) {
    if constexpr (T == BISHOP)
        return BishopLines[sq];
    else if constexpr (T == ROOK)
        return RookLines[sq];
    else
        return QueenLines[sq];
}

// Appends moves scored by the generators' rule. The list end, the side and the history table are
// kept in locals so that the inner loops do not reload them from the position after each store.
struct MoveWriter {
    MoveEntry *end;
    const std::uint32_t *board;
    Colour us;
    Square epSquare;
    const std::int16_t *history; // null: quiet moves take piece-square scores too

    MoveWriter(const Position &pos, MoveEntry *at, const std::int16_t *historyTable)
        : end(at), board(pos.board), us(Colour(pos.sideToMove)), epSquare(pos.epSquare),
          history(historyTable) {}

    // The scoring rule; `row` is OrderingPST[type][us] and `base` is bonus - row[from], worked out
    // once per piece by the callers that add many moves of one piece.
    void add(PieceType type, const std::int8_t *row, int base, Square from, Square to,
             std::uint32_t promotion) {
        int score;
        if (history && cellIsEmpty(board[to]) && promotion == NO_PROMOTION &&
            !(type == PAWN && to == epSquare))
            score = history[historyIndex(from, to)];
        else
            score = row[to] + base;
        *end++ = makeEntry(makeMove(from, to, promotion), score);
    }
    void add(PieceType type, Square from, Square to, std::uint32_t promotion, int bonus) {
        const std::int8_t *row = OrderingPST[type][us];
        add(type, row, bonus - row[from], from, to, promotion);
    }
    // A pawn push: its to-square is empty and never the en-passant square (that square lies
    // behind an opponent pawn), so it is quiet unless it promotes.
    void addPush(const std::int8_t *row, Square from, Square to) {
        int score = history ? history[historyIndex(from, to)] : row[to] - row[from];
        *end++ = makeEntry(makeMove(from, to), score);
    }
    void addPromotions(Square from, Square to, int bonus, bool queenOnly) {
        for (PieceType p : PROMOTIONS) {
            add(PAWN, from, to, p, bonus);
            if (queenOnly) break;
        }
    }
};

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

// The squares of the line through the king and a piece on one of its lines, both excluded:
// where a pinned piece may still go.
inline Bitboard pinLine(Square king, Square from) {
    return (RookLines[king] & SquareBit[from]) ? RookLines[king] & RookLines[from]
                                               : BishopLines[king] & BishopLines[from];
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

// What the legal generator knows beyond the pseudo-legal one (unused when Legal is false).
struct LegalInfo {
    Bitboard pinned = 0;
    Square king = 0;
};

// Moves of one piece type onto `targets`, pieces and to-squares in ascending order.
template <PieceType T, bool CaptureBonus, bool Legal>
void addPieceMoves(MoveWriter &w, const Position &pos, Bitboard targets, Bitboard occ,
                   const LegalInfo &legal) {
    for (Bitboard pieces = pos.pieces[w.us][T]; pieces;) {
        Square from = popLowest(pieces);
        // The capture lists have few targets: skip a slider's lookup when none is on its lines.
        if constexpr (CaptureBonus && T != KNIGHT)
            if (!(emptyBoardAttacks<T>(from) & targets)) continue;
        Bitboard to = pieceAttacks<T>(from, occ) & targets;
        if (Legal && (legal.pinned & SquareBit[from])) to &= pinLine(legal.king, from);
        const std::int8_t *row = OrderingPST[T][w.us];
        int base = -row[from];
        while (to) {
            Square sq = popLowest(to);
            w.add(T, row,
                  CaptureBonus ? base + CaptureValue[cellType(w.board[sq])] - CAPTURER_PENALTY[T] : base,
                  from, sq, 0);
        }
    }
}

// King moves (never next to the other king; for the legal list never onto an attacked square),
// then knights, bishops, rooks and queens.
template <bool CaptureBonus, bool Legal>
void addAllPieceMoves(MoveWriter &w, const Position &pos, Bitboard targets, const LegalInfo &legal) {
    Colour them = ~w.us;
    Bitboard occ = pos.all();
    Square king = pos.kingSquare[w.us];
    Bitboard kingTo = KingAttacks[king] & targets & ~KingAttacks[pos.kingSquare[them]];
    if (Legal) {
        Bitboard occWithoutKing = occ ^ SquareBit[king];
        for (Bitboard b = kingTo; b;) {
            Square sq = popLowest(b);
            if (squareIsAttacked(pos, them, sq, occWithoutKing)) kingTo ^= SquareBit[sq];
        }
    }
    const std::int8_t *row = OrderingPST[KING][w.us];
    int base = -row[king];
    while (kingTo) {
        Square sq = popLowest(kingTo);
        w.add(KING, row,
              CaptureBonus ? base + CaptureValue[cellType(w.board[sq])] - CAPTURER_PENALTY[KING] : base, king,
              sq, 0);
    }
    addPieceMoves<KNIGHT, CaptureBonus, Legal>(w, pos, targets, occ, legal);
    addPieceMoves<BISHOP, CaptureBonus, Legal>(w, pos, targets, occ, legal);
    addPieceMoves<ROOK, CaptureBonus, Legal>(w, pos, targets, occ, legal);
    addPieceMoves<QUEEN, CaptureBonus, Legal>(w, pos, targets, occ, legal);
}

// Is a pawn move legal, given that the side to move is not in check?
inline bool pawnMoveIsLegal(const Position &pos, const LegalInfo &legal, Square from, Square to) {
    if (to == pos.epSquare) return enPassantIsLegal(pos, from, to);
    return !(legal.pinned & SquareBit[from]) || (pinLine(legal.king, from) & SquareBit[to]);
}

// Pawn captures onto `targets` (both directions in turn), en passant included.
template <bool Legal>
void addPawnCaptures(MoveWriter &w, const Position &pos, Bitboard pawns, Bitboard targets, bool withBonus,
                     bool queenOnly, const LegalInfo &legal) {
    Bitboard epBit = SquareBit[pos.epSquare];
    for (int side = 0; side < 2; ++side) {
        PawnCapture d = captureDirection(w.us, side);
        Bitboard to = shiftBy(pawns & d.fromMask, d.delta) & (targets | epBit);
        while (to) {
            Square sq = popLowest(to);
            Square from = Square(int(sq) - d.delta);
            if (Legal && !pawnMoveIsLegal(pos, legal, from, sq)) continue;
            int bonus = withBonus ? CaptureValue[cellType(w.board[sq])] : 0;
            if (SquareBit[sq] & RANK_1_OR_8)
                w.addPromotions(from, sq, bonus + (withBonus ? CaptureValue[QUEEN] : 0), queenOnly);
            else
                w.add(PAWN, from, sq, 0, bonus);
        }
    }
}

template <bool Legal>
void addPawnPushes(MoveWriter &w, const Position &pos, Bitboard pawns, Bitboard targets,
                   const LegalInfo &legal) {
    Colour us = w.us;
    Bitboard empty = ~pos.all();
    Bitboard single = pushOne(us, pawns) & empty;
    Bitboard twice = pushOne(us, single & (us == WHITE ? RANK_3 : RANK_6)) & empty & targets;
    single &= targets;
    int f = forward(us);
    const std::int8_t *row = OrderingPST[PAWN][us];
    // Pinned pawns are rare: test them only when there is one.
    bool testPins = Legal && (legal.pinned & pawns);
    for (Bitboard b = single; b;) {
        Square to = popLowest(b);
        Square from = Square(int(to) - f);
        if (testPins && !pawnMoveIsLegal(pos, legal, from, to)) continue;
        if (SquareBit[to] & RANK_1_OR_8)
            w.addPromotions(from, to, 0, false);
        else
            w.addPush(row, from, to);
    }
    for (Bitboard b = twice; b;) {
        Square to = popLowest(b);
        Square from = Square(int(to) - 2 * f);
        if (testPins && !pawnMoveIsLegal(pos, legal, from, to)) continue;
        w.addPush(row, from, to);
    }
}

void addCastling(MoveWriter &w, const Position &pos) {
    Colour us = w.us, them = ~us;
    if (Castling.chess960) {
        for (std::uint32_t right : {us == WHITE ? CASTLE_K : CASTLE_k, us == WHITE ? CASTLE_Q : CASTLE_q})
            if (castlingAllowed(pos, right)) {
                Square from = Castling.king[us], to = castledKingSquare(right);
                const std::int8_t *row = OrderingPST[KING][us];
                int score = w.history ? w.history[historyIndex(from, to)] : row[to] - row[from];
                *w.end++ = makeEntry(castlingMove(right), score);
            }
        return;
    }
    Bitboard occ = pos.all();
    auto free = [&](Square a, Square b, Square c = NO_SQUARE) {
        return !(occ & (SquareBit[a] | SquareBit[b] | SquareBit[c]));
    };
    auto safe = [&](Square a, Square b) {
        return !IsSquareAttacked(pos, them, a) && !IsSquareAttacked(pos, them, b);
    };
    if (us == WHITE) {
        if ((pos.castling & CASTLE_K) && free(SQ_F1, SQ_G1) && safe(SQ_F1, SQ_G1))
            w.add(KING, SQ_E1, SQ_G1, 0, 0);
        if ((pos.castling & CASTLE_Q) && free(SQ_D1, SQ_C1, SQ_B1) && safe(SQ_D1, SQ_C1))
            w.add(KING, SQ_E1, SQ_C1, 0, 0);
    } else {
        if ((pos.castling & CASTLE_k) && free(SQ_F8, SQ_G8) && safe(SQ_F8, SQ_G8))
            w.add(KING, SQ_E8, SQ_G8, 0, 0);
        if ((pos.castling & CASTLE_q) && free(SQ_D8, SQ_C8, SQ_B8) && safe(SQ_D8, SQ_C8))
            w.add(KING, SQ_E8, SQ_C8, 0, 0);
    }
}

// GenerateAll's list; with Legal set, only the moves that do not leave the king attacked
// (the side to move must not be in check), in the same order.
template <bool Legal>
int generateMoves(Position &pos, MoveEntry *list, const LegalInfo &legal, const std::int16_t *history) {
    MoveWriter w(pos, list, history);
    Colour us = w.us, them = ~us;
    Bitboard pawns = pos.pieces[us][PAWN];
    addAllPieceMoves<false, Legal>(w, pos, ~pos.occupied[us], legal);
    addPawnCaptures<Legal>(w, pos, pawns, pos.occupied[them], false, false, legal);
    addPawnPushes<Legal>(w, pos, pawns, ~Bitboard(0), legal);
    addCastling(w, pos);
    pos.moveList = list;
    pos.moveCount = std::uint32_t(w.end - list);
    return int(pos.moveCount);
}

} // namespace

int GenerateAll(Position &pos, MoveEntry *list, const std::int16_t *history) {
    return generateMoves<false>(pos, list, LegalInfo{}, history);
}

int GenerateToTargets(Position &pos, MoveEntry *list, Bitboard targets, const std::int16_t *history) {
    MoveWriter w(pos, list, history);
    Colour us = w.us, them = ~us;
    LegalInfo none;
    addAllPieceMoves<true, false>(w, pos, targets & ~pos.occupied[us], none);
    Bitboard pawns = pos.pieces[us][PAWN];
    addPawnCaptures<false>(w, pos, pawns, targets & pos.occupied[them], true, true, none);
    // Quiet pawn pushes worth searching with the captures: promotions (as a queen), pushes to
    // the seventh rank, and pushes that shut an enemy bishop into a corner.
    Bitboard empty = ~pos.all();
    Bitboard single = pushOne(us, pawns) & empty;
    Bitboard seventh = us == WHITE ? RANK_MASK[6] : RANK_MASK[1];
    Bitboard wanted = RANK_1_OR_8 | seventh;
    // (pawn square, bishop square) pairs for White; Black uses the mirror.
    static constexpr Square TRAP[6][2] = {{17, 8}, {22, 15}, {25, 16}, {30, 23}, {42, 56}, {45, 63}};
    if (pos.pieces[them][BISHOP])
        for (const auto &t : TRAP) {
            Square pawnSq = us == WHITE ? t[0] : t[0] ^ 56, bishopSq = us == WHITE ? t[1] : t[1] ^ 56;
            if (pos.board[bishopSq] == makeCell(them, BISHOP)) wanted |= SquareBit[pawnSq];
        }
    int f = forward(us);
    const std::int8_t *row = OrderingPST[PAWN][us];
    Bitboard twice = pushOne(us, single & (us == WHITE ? RANK_3 : RANK_6)) & empty & wanted;
    for (Bitboard b = single & wanted; b;) {
        Square to = popLowest(b);
        if (SquareBit[to] & RANK_1_OR_8)
            w.add(PAWN, Square(int(to) - f), to, QUEEN, CaptureValue[QUEEN]);
        else
            w.addPush(row, Square(int(to) - f), to);
    }
    for (Bitboard b = twice; b;) {
        Square to = popLowest(b);
        w.addPush(row, Square(int(to) - 2 * f), to);
    }
    pos.moveList = list;
    pos.moveCount = std::uint32_t(w.end - list);
    return int(pos.moveCount);
}

int GenerateEvasions(Position &pos, MoveEntry *list, const std::int16_t *history) {
    MoveWriter w(pos, list, history);
    Colour us = w.us, them = ~us;
    Square king = pos.kingSquare[us];
    Bitboard occ = pos.all();
    Bitboard checkers = attackersOf(pos, them, king, occ);
    LegalInfo none;
    if (!(checkers & (checkers - 1))) {
        Square checker = lowestSquare(checkers);
        Bitboard targets = checkers | Between[king][checker];
        Bitboard movable = ~pinnedPieces(pos, us);
        auto addMoves = [&]<PieceType T>() {
            for (Bitboard pieces = pos.pieces[us][T] & movable; pieces;) {
                Square from = popLowest(pieces);
                for (Bitboard to = pieceAttacks<T>(from, occ) & targets; to;)
                    w.add(T, from, popLowest(to), 0, 0);
            }
        };
        addMoves.template operator()<KNIGHT>();
        addMoves.template operator()<BISHOP>();
        addMoves.template operator()<ROOK>();
        addMoves.template operator()<QUEEN>();
        Bitboard pawns = pos.pieces[us][PAWN] & movable;
        std::uint32_t savedEp = pos.epSquare;
        // En passant answers a check when it takes the pawn that just moved two squares, or
        // when the capturing pawn lands between a checking slider and the king.
        if (pos.epSquare != NO_SQUARE) {
            Square victim = Square(int(pos.epSquare) - forward(us));
            if (!(checkers & SquareBit[victim]) && !(Between[king][checker] & SquareBit[pos.epSquare]))
                pos.epSquare = NO_SQUARE;
        }
        MoveEntry *before = w.end;
        addPawnCaptures<false>(w, pos, pawns, checkers, false, false, none);
        // An en-passant capture can still uncover a line onto the king: drop it then.
        for (MoveEntry *e = before; e < w.end; ++e) {
            Move m = entryMove(*e);
            if (moveTo(m) == pos.epSquare && !enPassantIsLegal(pos, moveFrom(m), moveTo(m))) *e-- = *--w.end;
        }
        pos.epSquare = savedEp;
        addPawnPushes<false>(w, pos, pawns, targets & ~checkers, none);
    }
    // Squares the opponent attacks, with the king taken off the board so that it cannot hide
    // behind itself on a checking line.
    Bitboard occWithoutKing = occ ^ SquareBit[king];
    const Bitboard *p = pos.pieces[them];
    Bitboard attacked = PawnAttacksOf(them, p[PAWN]) | KingAttacks[pos.kingSquare[them]];
    for (Bitboard b = p[KNIGHT]; b;)
        attacked |= KnightAttacks[popLowest(b)];
    for (Bitboard b = p[BISHOP] | p[QUEEN]; b;)
        attacked |= BishopAttacks(popLowest(b), occWithoutKing);
    for (Bitboard b = p[ROOK] | p[QUEEN]; b;)
        attacked |= RookAttacks(popLowest(b), occWithoutKing);
    for (Bitboard to = KingAttacks[king] & ~pos.occupied[us] & ~attacked; to;)
        w.add(KING, king, popLowest(to), 0, 0);
    pos.moveList = list;
    pos.moveCount = std::uint32_t(w.end - list);
    return int(pos.moveCount);
}

int GenerateLegal(Position &pos, MoveEntry *list, const std::int16_t *history) {
    Colour us = Colour(pos.sideToMove), them = ~us;
    LegalInfo legal;
    legal.king = pos.kingSquare[us];
    if (IsSquareAttacked(pos, them, legal.king)) return GenerateEvasions(pos, list, history);
    legal.pinned = pinnedPieces(pos, us);
    return generateMoves<true>(pos, list, legal, history);
}

} // namespace position

#include "eval/pieces.h"

#include "eval/masks.h"
#include "eval/tables.h"
#include "position/attacks.h"

namespace eval {

using namespace position;

namespace {

constexpr int KNIGHT_MOBILITY[9] = {-16, -12, -8, 0, 4, 8, 12, 16, 16};
constexpr int BISHOP_MOBILITY[14] = {-16, -12, -8, -4, -2, 0, 2, 4, 6, 8, 10, 12, 14, 14};
constexpr int ROOK_MOBILITY_MID[15] = {-6, -4, -2, 0, 2, 4, 6, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr int ROOK_MOBILITY_END[15] = {-12, -8, -4, 0, 4, 8, 12, 16, 18, 20, 22, 24, 26, 28, 30};
constexpr int QUEEN_MOBILITY_MID[28] = {-6, -4, -2, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3,
                                        3,  4,  4,  4, 4, 5, 5, 5, 5, 0, 0, 0, 0, 0};
constexpr int QUEEN_MOBILITY_END[28] = {-12, -8, -4, -2, 0, 1, 2,  3,  4,  5, 6, 6, 7, 7,
                                        8,   8,  8,  9,  9, 9, 10, 10, 10, 0, 0, 0, 0, 0};

// Diagrams, rank 8 first, files a to h. -1 marks the squares where a knight can be trapped.
constexpr std::int8_t KnightOutpost[64] = {
    -1, 0,  0, 0,  0,  0, 0,  -1, //
    -1, -1, 0, 0,  0,  0, -1, -1, //
    0,  0,  9, 12, 12, 9, 0,  0,  //
    0,  0,  3, 9,  9,  6, 0,  0,  //
    0,  0,  3, 6,  6,  3, 0,  0,  //
};
constexpr std::int8_t BishopOutpost[64] = {
    0, 0, 0, 0, 0, 0, 0, 0, //
    0, 0, 0, 0, 0, 0, 0, 0, //
    0, 0, 6, 8, 8, 6, 0, 0, //
    0, 0, 4, 6, 6, 4, 0, 0, //
    0, 0, 2, 4, 4, 2, 0, 0, //
};
constexpr std::int8_t BlockedBishopPenalty[64] = {
    0,   0,   0,  0,  0,  0,  0,   0,   //
    0,   0,   0,  0,  0,  0,  0,   0,   //
    0,   0,   0,  0,  0,  0,  0,   0,   //
    0,   0,   0,  0,  0,  0,  0,   0,   //
    -10, 0,   0,  0,  0,  0,  0,   -10, //
    0,   -10, -5, -5, -5, -5, -10, 0,   //
    -15, -5,  -5, -5, -5, -5, -5,  -15, //
    -20, -15, -5, 0,  0,  -5, -15, -20,
};
constexpr int KNIGHT_OUTPOST_DEFENDED = 3;
constexpr int BISHOP_OUTPOST_DEFENDED = 2;
constexpr int TRAPPED_KNIGHT_MARK = -1;

constexpr Bitboard CENTRE = squares({"d4", "e4", "d5", "e5"});
constexpr Bitboard CENTRE_BOX = 0x00003C3C3C3C0000ULL; // c3 to f6

struct Trap {
    const char *piece;
    Bitboard enemyPawns; // all of these must be present
    Bitboard anyOf;      // or, when non-zero, any one of these
    int penalty;
};
constexpr Trap KNIGHT_TRAPS[] = {
    {"a8", 0, squares({"a7", "c7"}), -150}, {"h8", 0, squares({"h7", "f7"}), -150},
    {"a7", squares({"a6", "b7"}), 0, -100}, {"h7", squares({"h6", "g7"}), 0, -100},
    {"b7", squares({"b6", "c7"}), 0, -50},  {"g7", squares({"g6", "f7"}), 0, -50},
};
constexpr Trap BISHOP_TRAPS[] = {
    {"a7", bit("b6"), 0, -150}, {"b8", bit("c7"), 0, -150}, {"h7", bit("g6"), 0, -150},
    {"g8", bit("f7"), 0, -150}, {"a6", bit("b5"), 0, -50},  {"h6", bit("g5"), 0, -50},
    {"a1", bit("c3"), 0, -100}, {"h1", bit("f3"), 0, -100},
};
constexpr Bitboard BISHOP_TRAP_SQUARES = squares({"a7", "b8", "h7", "g8", "a6", "h6", "a1", "h1"});

constexpr Bitboard KINGSIDE_CASTLED = squares({"g1", "h1", "h2"});
constexpr Bitboard QUEENSIDE_CASTLED = squares({"b1", "a1", "a2"});
constexpr Bitboard HOME_PAWNS_DE = squares({"e2", "d2"});
constexpr Bitboard HOME_KNIGHTS = squares({"b1", "g1"});
constexpr Bitboard HOME_BISHOPS = squares({"c1", "f1"});
constexpr int HOME_BISHOP_KING_BONUS = 20;
constexpr int HOME_BISHOP_BLOCKED = -15;
constexpr int ROOK_SEVENTH_CORRECTION = -20;
constexpr int ROOK_HALF_OPEN = 5, ROOK_OPEN = 10;
constexpr int QUEEN_SEVENTH = 10;
constexpr int EARLY_QUEEN = -2;
// Threats: per enemy minor / rook attacked by own pawns, minor pieces and rook lines.
constexpr int MINOR_THREAT[3] = {10, 5, 3};
constexpr int ROOK_THREAT[3] = {15, 10, 5};

bool has(Bitboard set, Square s) { return (set & squareBit(s)) != 0; }
Bitboard rel(Colour c, Bitboard whiteSet) { return forColour(c, whiteSet); }

bool trapped(const Trap &t, Colour c, Square q, Bitboard enemyPawns) {
    if (relativeSquare(c, q) != sq(t.piece)) return false;
    if (t.anyOf) return (enemyPawns & rel(c, t.anyOf)) != 0;
    Bitboard need = rel(c, t.enemyPawns);
    return (enemyPawns & need) == need;
}

Bitboard mobilitySquares(const Position &pos, Colour c, Bitboard attacks) {
    return attacks & ~pos.occupied[c] & ~pos.evalWork.pawnAttacks[~c];
}

Bitboard enemyZone(const Position &pos, Colour c) { return KingZone[~c][pos.kingSquare[~c]]; }

// Minor pieces: count into the king attack if they reach the enemy king zone.
void minorKingAttack(Position &pos, Colour c, Bitboard attacks) {
    auto &w = pos.evalWork;
    Bitboard hit = attacks & enemyZone(pos, c);
    if (w.endgameFlag || !hit) return;
    w.kingAttackers[c] += 1;
    w.kingAttackUnits[c] += popCount(hit) - popCount(hit & w.pawnAttacks[~c]);
}

void minorMobility(Position &pos, Colour c, Bitboard attacks, const int *table) {
    auto &w = pos.evalWork;
    Bitboard mob = mobilitySquares(pos, c, attacks);
    int m = table[popCount(mob)];
    w.mobilityMid[c] += m + popCount(mob & CENTRE) + popCount(mob & CENTRE_BOX);
    w.mobilityEnd[c] += m;
}

} // namespace

void evaluateTrappedBishops(Position &pos, Colour c) {
    Bitboard bishops = pos.pieces[c][BISHOP] & rel(c, BISHOP_TRAP_SQUARES);
    Bitboard enemyPawns = pos.pieces[~c][PAWN];
    for (Bitboard b = bishops; b;) {
        Square q = popLowest(b);
        for (const Trap &t : BISHOP_TRAPS)
            if (trapped(t, c, q, enemyPawns)) pos.evalWork.patternPenalty[c] += t.penalty;
    }
}

void evaluateKnight(Position &pos, Square q, Colour c) {
    auto &w = pos.evalWork;
    if (!has(w.pawnSpan[~c], q)) {
        int entry = KnightOutpost[diagramIndex(relativeSquare(c, q))];
        w.outpostScore[c] += entry + (has(w.pawnAttacks[c], q) ? KNIGHT_OUTPOST_DEFENDED : 0);
        if (entry == TRAPPED_KNIGHT_MARK)
            for (const Trap &t : KNIGHT_TRAPS)
                if (trapped(t, c, q, pos.pieces[~c][PAWN])) w.patternPenalty[c] += t.penalty;
    }
    Bitboard attacks = KnightAttacks[q];
    w.knightAttacks[c] |= attacks;
    minorMobility(pos, c, attacks, KNIGHT_MOBILITY);
    minorKingAttack(pos, c, attacks);
}

void evaluateBishop(Position &pos, Square q, Colour c) {
    auto &w = pos.evalWork;
    Bitboard occ = w.allPieces;
    Square relQ = relativeSquare(c, q);
    Bitboard ownPawns = pos.pieces[c][PAWN];
    Bitboard ownKing = squareBit(relativeSquare(c, pos.kingSquare[c]));
    // 1. Home squares: a bishop that guards the castled king, or one shut in by its centre pawn.
    if (relQ == sq("f1")) {
        if (ownKing & KINGSIDE_CASTLED) w.pieceBonus[c] += HOME_BISHOP_KING_BONUS;
        if (has(ownPawns, relativeSquare(c, sq("e2"))) && has(occ, relativeSquare(c, sq("e3"))))
            w.patternPenalty[c] += HOME_BISHOP_BLOCKED;
    } else if (relQ == sq("c1")) {
        if (ownKing & QUEENSIDE_CASTLED) w.pieceBonus[c] += HOME_BISHOP_KING_BONUS;
        if (has(ownPawns, relativeSquare(c, sq("d2"))) && has(occ, relativeSquare(c, sq("d3"))))
            w.patternPenalty[c] += HOME_BISHOP_BLOCKED;
    }
    // 2. Blocked by own pawns.
    if (ownPawns & BishopBlockers[c][q]) w.patternPenalty[c] += BlockedBishopPenalty[diagramIndex(relQ)];
    // 3. Outpost.
    if (!has(w.pawnSpan[~c], q))
        w.outpostScore[c] +=
            BishopOutpost[diagramIndex(relQ)] + (has(w.pawnAttacks[c], q) ? BISHOP_OUTPOST_DEFENDED : 0);
    // 4. Attacks see through own queens.
    Bitboard attacks = BishopAttacks(q, occ & ~pos.pieces[c][QUEEN]);
    w.bishopAttacks[c] |= attacks;
    minorMobility(pos, c, attacks, BISHOP_MOBILITY);
    // 5. King attack.
    minorKingAttack(pos, c, attacks);
}

void evaluateRook(Position &pos, Square q, Colour c) {
    auto &w = pos.evalWork;
    Bitboard enemyPawns = pos.pieces[~c][PAWN];
    Square enemyKing = pos.kingSquare[~c];
    Bitboard zone = enemyZone(pos, c);
    // 1. The piece-square table already pays for the 7th rank; take it back when it means nothing.
    if (rankOf(relativeSquare(c, q)) == 6 && !(enemyPawns & rel(c, RANK_7_MASK)) &&
        rankOf(relativeSquare(c, enemyKing)) != 7)
        w.pieceBonus[c] += ROOK_SEVENTH_CORRECTION;
    // 2. Open and half-open files, more so next to the enemy king.
    Bitboard file = FILE_MASK[fileOf(q)];
    if (!(pos.pieces[c][PAWN] & file)) {
        bool halfOpen = (enemyPawns & file) != 0;
        w.pieceBonus[c] += halfOpen ? ROOK_HALF_OPEN : ROOK_OPEN;
        int distance = fileOf(q) - fileOf(enemyKing);
        if (distance >= -1 && distance <= 1) {
            w.kingAttackUnits[c] += halfOpen ? 2 : 4;
            w.openFileUnits[c] += halfOpen ? 1 : 2;
        }
    }
    // 3. Mobility.
    Bitboard a = RookAttacks(q, w.allPieces);
    w.rookAttacks[c] |= a;
    Bitboard mob = mobilitySquares(pos, c, a);
    w.mobilityMid[c] += ROOK_MOBILITY_MID[popCount(mob)];
    w.mobilityEnd[c] += ROOK_MOBILITY_END[popCount(mob)];
    // 4. King attack, through own queens and rooks.
    if (!w.endgameFlag && ((RANK_MASK[rankOf(q)] | file) & zone)) {
        Bitboard heavies = pos.pieces[c][QUEEN] | pos.pieces[c][ROOK];
        if (a & heavies) a = RookAttacks(q, w.allPieces & ~heavies);
        Bitboard hit = a & zone;
        if (hit) {
            w.kingAttackers[c] += 1;
            w.kingAttackUnits[c] +=
                2 * popCount(hit) - popCount(hit & (w.minorAttacks[~c] | w.pawnAttacks[~c]));
            if (w.rookLineAttacks[c] & hit) w.kingAttackUnits[c] += 1;
        }
    }
    // 5. Remembered for the queen's x-ray through rooks.
    w.rookLineAttacks[c] |= a;
}

void evaluateQueen(Position &pos, Square q, Colour c) {
    auto &w = pos.evalWork;
    Square relQ = relativeSquare(c, q);
    // 1. Seventh rank with targets.
    if (rankOf(relQ) == 6 &&
        ((pos.pieces[~c][PAWN] & rel(c, RANK_7_MASK)) || rankOf(relativeSquare(c, pos.kingSquare[~c])) == 7))
        w.pieceBonus[c] += QUEEN_SEVENTH;
    // 2. Mobility.
    Bitboard a = QueenAttacks(q, w.allPieces);
    w.queenAttacks[c] |= a;
    Bitboard mob = mobilitySquares(pos, c, a);
    w.mobilityMid[c] += QUEEN_MOBILITY_MID[popCount(mob)];
    w.mobilityEnd[c] += QUEEN_MOBILITY_END[popCount(mob)];
    if (w.endgameFlag) return;
    // 3. King attack, through own sliders.
    Bitboard sliders = pos.pieces[c][QUEEN] | pos.pieces[c][ROOK] | pos.pieces[c][BISHOP];
    if (a & sliders) a = QueenAttacks(q, w.allPieces & ~sliders);
    Bitboard hit = a & KingZone[~c][pos.kingSquare[~c]];
    if (hit) {
        w.kingAttackers[c] += 1;
        Bitboard guarded = w.minorAttacks[~c] | w.rookAttacks[~c] | w.pawnAttacks[~c];
        w.kingAttackUnits[c] += 3 * popCount(hit) - 2 * popCount(hit & guarded);
        if (w.minorAttacks[c] & hit) w.kingAttackUnits[c] += 1;
        if (w.rookLineAttacks[c] & hit) w.kingAttackUnits[c] += 2;
    }
    // 4. Early development of the queen before the minors.
    if (relQ != sq("d1")) {
        Bitboard ownPawns = pos.pieces[c][PAWN];
        int undeveloped = popCount(ownPawns & rel(c, HOME_PAWNS_DE)) +
                          popCount(pos.pieces[c][KNIGHT] & rel(c, HOME_KNIGHTS)) +
                          popCount(pos.pieces[c][BISHOP] & rel(c, HOME_BISHOPS));
        w.pieceBonus[c] += EARLY_QUEEN * undeveloped;
    }
}

int pieceAttacks(const Position &pos, Colour c) {
    const auto &w = pos.evalWork;
    Bitboard minors = pos.pieces[~c][BISHOP] | pos.pieces[~c][KNIGHT];
    Bitboard rooks = pos.pieces[~c][ROOK];
    const Bitboard attackers[3] = {w.pawnAttacks[c], w.minorAttacks[c], w.rookLineAttacks[c]};
    int s = 0;
    for (int i = 0; i < 3; ++i)
        s += MINOR_THREAT[i] * popCount(minors & attackers[i]) +
             ROOK_THREAT[i] * popCount(rooks & attackers[i]);
    return s;
}

} // namespace eval

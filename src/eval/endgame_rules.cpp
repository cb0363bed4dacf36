// The drawish-material rules of the material step, tried in a fixed order; the first rule that
// answers ends the search for a better material score.
#include "eval/endgame.h"

#include "eval/masks.h"
#include "eval/pawns.h"
#include "eval/tables.h"
#include "position/attacks.h"

namespace eval {

using namespace position;

namespace {

constexpr int ROOK_PAWN_IN_FRONT_BONUS = 100;
constexpr int BARE_KING_BONUS = 200;
constexpr int HEAVY_VS_MINORS_BONUS = 100;
constexpr int ROOK_MINOR_VS_MINOR = 500;
// Extra minor against the same major material, by the defender's pawns (0, 1, 2).
constexpr int QUEEN_PLUS_MINOR[3] = {50, 25, 0};
constexpr int TWO_ROOKS_PLUS_MINOR[3] = {60, 30, 10};
constexpr int ROOK_PLUS_MINOR[3] = {75, 50, 25};

// The squares a pawn of colour c on sq still has to cross.
Bitboard pawnPath(Colour c, Square pawnSq) { return forwardFill(c, forwardOne(c, squareBit(pawnSq))); }

Bitboard rel(Colour c, Bitboard whiteSet) { return forColour(c, whiteSet); }

bool hasBit(Bitboard set, Square s) { return (set & squareBit(s)) != 0; }

// Rook pawn on the 7th of colour c with both sides having one rook: the known drawing setups.
bool rookPawnDraw(const Position &pos, Colour c) {
    Square pawn = lowestSquare(pos.pieces[c][PAWN]);
    bool aFile = fileOf(pawn) == 7;
    Bitboard ownRooks = pos.pieces[c][ROOK], enemyRooks = pos.pieces[~c][ROOK];
    Square enemyKing = pos.kingSquare[~c];
    Bitboard corner = rel(c, aFile ? bit("a8") : bit("h8"));
    Bitboard farSide = rel(c, aFile ? squares({"g7", "h7"}) : squares({"b7", "a7"}));
    Bitboard pawnFile = aFile ? FILE_A : FILE_H;
    Bitboard backRank = rel(c, RANK_MASK[7]);
    if ((ownRooks & corner) && hasBit(farSide, enemyKing) && (enemyRooks & pawnFile)) return true;
    return hasBit(corner, enemyKing) && (enemyRooks & backRank);
}

} // namespace

int materialKnowledge(Position &pos, int m) {
    auto &w = pos.evalWork;
    auto done = [&](int score, EvalMode mode) {
        w.evalMode = mode;
        return score;
    };
    const int Q = PieceValue[QUEEN], R = PieceValue[ROOK], B = PieceValue[BISHOP], N = PieceValue[KNIGHT];
    const int MW = pos.material[WHITE], MB = pos.material[BLACK];
    const int PW = int(pos.pieceCount[WHITE][PAWN]), PB = int(pos.pieceCount[BLACK][PAWN]);
    // The side that a one-sided rule looks at: White when White is ahead, else Black.
    auto sign = [](Colour c) { return c == WHITE ? 1 : -1; };

    // 1. Lone rook pawns against the king in the promotion corner.
    if (MW == 0 && MB == 0 && m != 0) {
        Colour c = m >= 1 ? WHITE : BLACK;
        Bitboard pawns = pos.pieces[c][PAWN];
        Square defender = pos.kingSquare[~c];
        if ((!(pawns & ~FILE_H) && hasBit(rel(c, squares({"g7", "h7", "g8", "h8"})), defender)) ||
            (!(pawns & ~FILE_A) && hasBit(rel(c, squares({"a7", "b7", "a8", "b8"})), defender)))
            return done(sign(c), EvalExact);
    }
    // 2. Rook pawns with a bishop that does not control the promotion corner.
    for (Colour c : {WHITE, BLACK}) {
        int mc = sign(c) * m;
        if (!(mc > 0 && pos.pieceCount[c][PAWN] >= 1 && pos.material[c] == B)) continue;
        Bitboard pawns = pos.pieces[c][PAWN], bishops = pos.pieces[c][BISHOP];
        Square defender = pos.kingSquare[~c];
        for (bool aFile : {true, false}) {
            Bitboard file = aFile ? FILE_A : FILE_H;
            Square promotion = relativeSquare(c, aFile ? sq("a8") : sq("h8"));
            Bitboard promoColour = hasBit(LIGHT_SQUARES, promotion) ? LIGHT_SQUARES : DARK_SQUARES;
            Bitboard corner =
                rel(c, aFile ? squares({"a7", "b7", "a8", "b8"}) : squares({"g7", "h7", "g8", "h8"}));
            if (!(pawns & ~file) && bishops && !(bishops & promoColour) && hasBit(corner, defender))
                return done(0, EvalExact);
        }
    }
    // 3. Minor material only.
    if (PW == 0 && PB == 0 && MW < 400 && MB < 400) return done(0, EvalExact);
    // 4. A lone minor cannot win against pawns.
    for (Colour c : {WHITE, BLACK}) {
        int mc = sign(c) * m;
        int own = pos.material[c];
        if (pos.pieceCount[c][PAWN] != 0 || (own != B && own != N) || pos.material[~c] != 0 || mc < 1)
            continue;
        int reduced = mc;
        for (Bitboard p = pos.pieces[~c][PAWN]; p;)
            reduced -= passedPawnTerm(pos, popLowest(p), ~c);
        return done(sign(c) * (reduced < 0 ? reduced : 0), EvalExact);
    }
    // 5. Rook against a pawn supported by its king.
    for (Colour c : {WHITE, BLACK}) {
        if (pos.material[c] != R || pos.material[~c] != 0 || pos.pieceCount[c][PAWN] != 0 ||
            pos.pieceCount[~c][PAWN] != 1)
            continue;
        Square pawn = lowestSquare(pos.pieces[~c][PAWN]);
        Square ownKing = pos.kingSquare[c], enemyKing = pos.kingSquare[~c];
        if (hasBit(pawnPath(~c, pawn), ownKing)) {
            m += sign(c) * ROOK_PAWN_IN_FRONT_BONUS;
            continue;
        }
        int rank = rankOf(relativeSquare(c, pawn)); // 1 = about to promote
        bool supported = hasBit(KingAttacks[pawn], enemyKing);
        if (supported &&
            ((rank == 1 && Closeness[pawn][ownKing] < 2) || (rank == 2 && Closeness[pawn][ownKing] < 1)))
            return done(0, EvalExact);
    }
    // 6. Rook against rook.
    if (PW == 0 && PB == 0 && MW == R && MB == R) return done(0, EvalExact);
    // 7. Bishop and pawn against a king blocking on the other square colour.
    for (Colour c : {WHITE, BLACK}) {
        int mc = sign(c) * m;
        Bitboard bishops = pos.pieces[c][BISHOP];
        if (pos.pieceCount[c][PAWN] != 1 || mc <= 0 || pos.material[c] != B || pos.material[~c] < 1 ||
            !bishops)
            continue;
        Square pawn = lowestSquare(pos.pieces[c][PAWN]);
        Square defender = pos.kingSquare[~c];
        Bitboard otherColour = (bishops & LIGHT_SQUARES) ? DARK_SQUARES : LIGHT_SQUARES;
        if (hasBit(pawnPath(c, pawn) & otherColour, defender)) return done(0, EvalExact);
    }
    // 8. Rook and rook pawn on the 7th against rook.
    if (MW == R && MB == R) {
        for (Colour c : {WHITE, BLACK}) {
            int mc = sign(c) * m;
            if (pos.pieceCount[c][PAWN] != 1 || mc <= 0) continue;
            if ((pos.pieces[c][PAWN] & rel(c, squares({"a7", "h7"}))) && rookPawnDraw(pos, c))
                return done(0, EvalExact);
        }
    }
    // 9. No pawns on either side.
    if (PW == 0 && PB == 0) {
        for (Colour c : {WHITE, BLACK}) { // a, b: heavy piece against up to two bishops
            int own = pos.material[c], enemy = pos.material[~c];
            if ((own == Q || own == 2 * R) && enemy > 0 && enemy <= 2 * B) {
                w.nullMoveAllowed = 0;
                return done(sign(c) * (sign(c) * m - pos.pstEg[~c] + HEAVY_VS_MINORS_BONUS), EvalTempoOnly);
            }
        }
        for (Colour c : {WHITE, BLACK}) { // c, d: rook and minor against minor
            int own = pos.material[c], enemy = pos.material[~c];
            if ((own == R + B || own == R + N) && (enemy == B || enemy == N)) {
                w.nullMoveAllowed = 0;
                return done(sign(c) * (ROOK_MINOR_VS_MINOR - pos.pstEg[~c]), EvalTempoOnly);
            }
        }
        if (MW == 2 * N && MB <= 2 * N) return done(1, EvalExact);
        if (MB == 2 * N && MW <= 2 * N) return done(-1, EvalExact);
        if (MB == 0 && MW > B) return done(m + BARE_KING_BONUS, EvalNormal);
        if (MW == 0 && MB > B) return done(m - BARE_KING_BONUS, EvalNormal);
        if (MW - MB < 100 && MB - MW < 100) return done(m / 8, EvalTempoOnly);
        for (Colour c : {WHITE, BLACK}) {
            int own = pos.material[c], enemy = pos.material[~c];
            if ((own == N + B && enemy >= 1 && enemy <= 2 * N) ||
                (own == 2 * B && enemy > N && enemy <= 2 * N))
                return done(m / 16, EvalTempoOnly);
        }
        for (Colour c : {WHITE, BLACK}) {
            int own = pos.material[c], enemy = pos.material[~c];
            if (own == R && (enemy == B || enemy == N)) return done(m / 4, EvalNormal);
        }
        for (Colour c : {WHITE, BLACK}) {
            int own = pos.material[c], enemy = pos.material[~c];
            if (own == R && (enemy == R + B || enemy == R + N)) return done(m / 5, EvalNormal);
        }
    }
    // 10. An extra minor against the same major pieces.
    struct Extra {
        int base, major;
        const int *byPawns;
    };
    const Extra extras[3] = {
        {Q, Q, QUEEN_PLUS_MINOR}, {2 * R, 2 * R, TWO_ROOKS_PLUS_MINOR}, {R, R, ROOK_PLUS_MINOR}};
    for (const Extra &e : extras) {
        for (Colour c : {WHITE, BLACK}) {
            int own = pos.material[c];
            unsigned defenderPawns = pos.pieceCount[~c][PAWN];
            if (pos.pieceCount[c][PAWN] == 0 && (own == e.base + B || own == e.base + N) &&
                pos.material[~c] == e.major && defenderPawns <= 2)
                return done(sign(c) * e.byPawns[defenderPawns], EvalReplacedMaterial);
        }
    }
    return m;
}

} // namespace eval

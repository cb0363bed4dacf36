#include "eval/endgame.h"
#include "base/features.h"

#include "eval/evaluate.h"
#include "eval/masks.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/tables.h"
#include "position/attacks.h"

#include <cstdlib>

namespace eval {

using namespace position;

std::int8_t Closeness[64][64];
std::int8_t KingWingPenalty[2][64];
std::int8_t KbnCorner[2][64];

namespace {

// Bishop and knight mate, light-squared bishop: the defending king belongs in h1 or a8 (0).
constexpr std::int8_t KBN_CORNER_LIGHT_DIAGRAM[64] = {
    0,   0,   15,  30,  45,  60,  85,  100, //
    0,   15,  30,  45,  60,  85,  100, 85,  //
    15,  30,  45,  60,  85,  100, 85,  60,  //
    30,  45,  60,  85,  100, 85,  60,  45,  //
    45,  60,  85,  100, 85,  60,  45,  30,  //
    60,  85,  100, 85,  60,  45,  30,  15,  //
    85,  100, 85,  60,  45,  30,  15,  0,   //
    100, 85,  60,  45,  30,  15,  0,   0,
};
constexpr int KBN_CLOSENESS_WEIGHT = 5;
constexpr int KBN_CORNER_WEIGHT = 2;
constexpr int MINOR_LIMIT = 400; // below this a side's pieces cannot mate on their own
constexpr Bitboard DRAW_EDGE = RANK_MASK[0] | RANK_MASK[7] | FILE_A;

// By file index (h-file first): a king on the outer files of the only wing that has pawns.
constexpr int QUEENSIDE_WING[8] = {0, 0, 0, 0, 0, -10, -20, -30};
constexpr int KINGSIDE_WING[8] = {-30, -20, -10, 0, 0, 0, 0, 0};

Bitboard pawnPath(Colour c, Square pawnSq) { return forwardFill(c, forwardOne(c, squareBit(pawnSq))); }

// Does c's king stand in front of a pawn of the other colour among `pawns`?
bool kingBlocksAny(const Position &pos, Colour c, Bitboard pawns) {
    for (Bitboard b = pawns; b;)
        if (pawnPath(~c, popLowest(b)) & squareBit(pos.kingSquare[c])) return true;
    return false;
}

int kingWings(const Position &pos, int s) {
    Bitboard pawns = pos.pieces[WHITE][PAWN] | pos.pieces[BLACK][PAWN];
    Square wk = pos.kingSquare[WHITE], bk = pos.kingSquare[BLACK];
    if (!base::featureOn(base::F_KING_WING_ORIENTATION)) wk ^= 7, bk ^= 7;
    if (!(pawns & FILES_H_TO_E))
        s += KingWingPenalty[QUEENSIDE_TABLE][wk] - KingWingPenalty[QUEENSIDE_TABLE][bk];
    if (!(pawns & FILES_D_TO_A))
        s += KingWingPenalty[KINGSIDE_TABLE][wk] - KingWingPenalty[KINGSIDE_TABLE][bk];
    return s;
}

bool oppositeBishops(const Position &pos) {
    const int B = PieceValue[BISHOP];
    if (pos.material[WHITE] != B || pos.material[BLACK] != B) return false;
    bool whiteLight = pos.pieces[WHITE][BISHOP] & LIGHT_SQUARES;
    bool blackLight = pos.pieces[BLACK][BISHOP] & LIGHT_SQUARES;
    return whiteLight != blackLight;
}

bool queenEndingDraw(const Position &pos) {
    const int Q = PieceValue[QUEEN];
    if (pos.material[WHITE] != Q || pos.material[BLACK] != Q) return false;
    unsigned pw = pos.pieceCount[WHITE][PAWN], pb = pos.pieceCount[BLACK][PAWN];
    return (pw == 1 && pb == 0 && kingBlocksAny(pos, BLACK, pos.pieces[WHITE][PAWN])) ||
           (pb == 1 && pw == 0 && kingBlocksAny(pos, WHITE, pos.pieces[BLACK][PAWN]));
}

// Square at the given rank and file steps (file steps towards the a-file), or NO_SQUARE.
Square offset(Square s, int dRank, int dFile) {
    int r = rankOf(s) + dRank, f = fileOf(s) + dFile;
    return (r < 0 || r > 7 || f < 0 || f > 7) ? NO_SQUARE : makeSquare(f, r);
}

// King and pawn against king, stated for the pawn's owner moving up the board.
bool kpkDrawFor(Square p, Square owner, Square defender, bool ownerToMove) {
    Square front = offset(p, 1, 0);
    Square behindLeft = offset(p, -1, -1), behind = offset(p, -1, 0), behindRight = offset(p, -1, 1);
    if (defender == front) {
        if (owner == behind && !ownerToMove) return true;
        if ((owner == behindLeft || owner == behindRight) && ownerToMove) return true;
    }
    if (!ownerToMove && owner == behindLeft && defender == offset(p, 1, -1)) return true;
    if (!ownerToMove && owner == behindRight && defender == offset(p, 1, 1)) return true;
    if (owner == behindLeft || owner == behind || owner == behindRight) {
        bool twoAhead =
            defender == offset(p, 2, -1) || defender == offset(p, 2, 0) || defender == offset(p, 2, 1);
        if (twoAhead && ownerToMove && rankOf(defender) != 7) return true;
    }
    return false;
}

} // namespace

void buildEndgameTables() {
    for (int a = 0; a < 64; ++a)
        for (int b = 0; b < 64; ++b)
            Closeness[a][b] =
                std::int8_t(7 - std::abs(rankOf(a) - rankOf(b)) - std::abs(fileOf(a) - fileOf(b)));
    for (Square sq = 0; sq < 64; ++sq) {
        KingWingPenalty[QUEENSIDE_TABLE][sq] = std::int8_t(QUEENSIDE_WING[fileOf(sq)]);
        KingWingPenalty[KINGSIDE_TABLE][sq] = std::int8_t(KINGSIDE_WING[fileOf(sq)]);
        KbnCorner[LIGHT_BISHOP][sq] = KBN_CORNER_LIGHT_DIAGRAM[diagramIndex(sq)];
        KbnCorner[DARK_BISHOP][sq] = KBN_CORNER_LIGHT_DIAGRAM[diagramIndex(sq ^ 7)]; // left-right mirror
    }
}

bool rookEndingDraw(const Position &pos) {
    const int R = PieceValue[ROOK];
    if (pos.material[WHITE] != R || pos.material[BLACK] != R) return false;
    for (Colour c : {WHITE, BLACK}) {
        unsigned own = pos.pieceCount[c][PAWN], enemy = pos.pieceCount[~c][PAWN];
        bool blocked = kingBlocksAny(pos, ~c, pos.pieces[c][PAWN]);
        if (own == 1 && enemy == 0 && blocked) return true;
        if (own == 2 && enemy == 1 && !pos.evalWork.passedPawns[c] && blocked) return true;
    }
    return false;
}

int scaleEndgame(const Position &pos, int s) {
    s = kingWings(pos, s);
    if (oppositeBishops(pos)) s /= 2;
    if (rookEndingDraw(pos)) s /= 4;
    if (queenEndingDraw(pos)) s /= 2;
    return s;
}

int evaluatePawnEnding(Position &pos, PawnTable *pawns) {
    auto &w = pos.evalWork;
    w.passedScore = passedPawnScore(pos);
    evaluatePawns(pos, pawns);
    int s = tempo(pos) + pawnMaterial(pos.pieceCount[WHITE][PAWN]) -
            pawnMaterial(pos.pieceCount[BLACK][PAWN]) + pos.pstEg[WHITE] - pos.pstEg[BLACK] + w.passedScore +
            w.pawnEnd;
    return kingWings(pos, s) * 5 / 4;
}

int evaluatePawnlessEnding(Position &pos) {
    auto &w = pos.evalWork;
    for (int c = 0; c < 2; ++c)
        w.kingAttackers[c] = w.kingAttackUnits[c] = w.openFileUnits[c] = 0;
    int mid = pos.pstMg[WHITE] - pos.pstMg[BLACK];
    int end = pos.pstEg[WHITE] - pos.pstEg[BLACK];
    int s = w.materialScore + tempo(pos) + blend(mid, end, gamePhase(pos));
    const int kbn = PieceValue[BISHOP] + PieceValue[KNIGHT];
    int closeness = Closeness[pos.kingSquare[WHITE]][pos.kingSquare[BLACK]];
    if (pos.material[BLACK] == 0 && pos.material[WHITE] == kbn && pos.pieces[WHITE][BISHOP]) {
        bool light = pos.pieces[WHITE][BISHOP] & LIGHT_SQUARES;
        s += KBN_CLOSENESS_WEIGHT * closeness -
             KBN_CORNER_WEIGHT * KbnCorner[light ? LIGHT_BISHOP : DARK_BISHOP][pos.kingSquare[BLACK]];
    } else if (pos.material[WHITE] == 0 && pos.material[BLACK] == kbn && pos.pieces[BLACK][BISHOP]) {
        bool light = pos.pieces[BLACK][BISHOP] & LIGHT_SQUARES;
        s += -KBN_CLOSENESS_WEIGHT * closeness +
             KBN_CORNER_WEIGHT * KbnCorner[light ? LIGHT_BISHOP : DARK_BISHOP][pos.kingSquare[WHITE]];
    }
    return s;
}

bool pawnlessDraw(const Position &pos) {
    const int MW = pos.material[WHITE], MB = pos.material[BLACK], twoKnights = 2 * PieceValue[KNIGHT];
    bool kingsOffEdge = !((squareBit(pos.kingSquare[WHITE]) | squareBit(pos.kingSquare[BLACK])) & DRAW_EDGE);
    if (MW == 0 && MB < MINOR_LIMIT) return true;
    if (MB == 0 && MW < MINOR_LIMIT) return true;
    if (MW < MINOR_LIMIT && MB < MINOR_LIMIT && kingsOffEdge) return true;
    if ((MW == twoKnights && MB == 0) || (MB == twoKnights && MW == 0)) return true;
    if (MW == twoKnights && MB < MINOR_LIMIT && kingsOffEdge) return true;
    return MB == twoKnights && MW < MINOR_LIMIT && kingsOffEdge;
}

bool kpkDraw(const Position &pos) {
    unsigned pw = pos.pieceCount[WHITE][PAWN], pb = pos.pieceCount[BLACK][PAWN];
    if (pos.material[WHITE] != 0 || pos.material[BLACK] != 0 || pw + pb != 1) return false;
    if (pw == 1)
        return kpkDrawFor(lowestSquare(pos.pieces[WHITE][PAWN]), pos.kingSquare[WHITE], pos.kingSquare[BLACK],
                          pos.sideToMove == WHITE);
    // Black's pawn: the same rules on the vertically mirrored board.
    return kpkDrawFor(lowestSquare(pos.pieces[BLACK][PAWN]) ^ 56, pos.kingSquare[BLACK] ^ 56,
                      pos.kingSquare[WHITE] ^ 56, pos.sideToMove == BLACK);
}

bool isRecognisedDraw(const Position &pos) {
    if (!(pos.pieces[WHITE][PAWN] | pos.pieces[BLACK][PAWN])) return pawnlessDraw(pos);
    if (pos.material[WHITE] == 0 && pos.material[BLACK] == 0) return kpkDraw(pos);
    return false;
}

} // namespace eval

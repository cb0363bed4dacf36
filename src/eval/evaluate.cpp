#include "eval/evaluate.h"
#include "base/features.h"

#include "eval/endgame.h"
#include "eval/king.h"
#include "eval/masks.h"
#include "eval/material.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "eval/tables.h"
#include "eval/weights.h"
#include "position/attacks.h"

namespace eval {

using namespace position;

namespace {

constexpr int OPENING_PATTERN_PENALTY = -7;
constexpr int FIFTY_TAPER_START = 75;

int forSideToMove(const Position &pos, int whiteScore) {
    return pos.sideToMove == WHITE ? whiteScore : -whiteScore;
}

// Passed pawns go to the midgame as they are and to the endgame with a third more.
int passedEnd(int passed) { return 4 * passed / 3; }

// Queen's pawn opening with the c-pawn blocked by its own knight.
bool blockedQueensPawnOpening(const Position &pos, Colour c) {
    Bitboard own = pos.pieces[c][PAWN], pawns = pos.pieces[WHITE][PAWN] | pos.pieces[BLACK][PAWN];
    return (own & forColour(c, bit("d4"))) && (own & forColour(c, bit("c2"))) &&
           !(pawns & forColour(c, bit("e4"))) && (pos.pieces[c][KNIGHT] & forColour(c, bit("c3")));
}

void clearPieceScratch(EvalScratch &w) {
    for (int c = 0; c < 2; ++c) {
        w.queenAttacks[c] = w.rookAttacks[c] = w.bishopAttacks[c] = w.knightAttacks[c] = 0;
        w.minorAttacks[c] = w.rookLineAttacks[c] = 0;
        w.kingAttackers[c] = w.kingAttackUnits[c] = w.openFileUnits[c] = 0;
        w.mobilityMid[c] = w.mobilityEnd[c] = 0;
        w.outpostScore[c] = w.pieceBonus[c] = w.patternPenalty[c] = 0;
    }
}

template <typename Fn> void forEachPiece(Position &pos, PieceType t, Fn fn) {
    for (Colour c : {WHITE, BLACK})
        for (Bitboard b = pos.pieces[c][t]; b;)
            fn(pos, popLowest(b), c);
}

// Rook against a minor without pawns for the rook's side: a winning try at best.
int rookAgainstMinor(const Position &pos, int s) {
    const int R = PieceValue[ROOK];
    if (pos.material[WHITE] == R && pos.pieceCount[WHITE][PAWN] == 0 && pos.material[BLACK] >= 1 &&
        pos.material[BLACK] < R && s >= 1)
        return s / 2;
    if (pos.material[BLACK] == R && pos.pieceCount[BLACK][PAWN] == 0 && pos.material[WHITE] >= 1 &&
        pos.material[WHITE] < R && s < 0)
        return s / 2;
    return s;
}

int positionalEvaluation(Position &pos) {
    auto &w = pos.evalWork;
    // Fresh piece fields.
    clearPieceScratch(w);
    // Material, tempo, tables and passed pawns.
    int s = w.materialScore + tempo(pos);
    w.midScore = pos.pstMg[WHITE] - pos.pstMg[BLACK] + w.passedScore;
    w.endScore = pos.pstEg[WHITE] - pos.pstEg[BLACK] + passedEnd(w.passedScore);
    // A blocked queen's pawn in the opening.
    for (Colour c : {WHITE, BLACK})
        if (blockedQueensPawnOpening(pos, c)) w.patternPenalty[c] = OPENING_PATTERN_PENALTY;
    // Pawn structure.
    w.midScore += w.pawnMid;
    w.endScore += w.pawnEnd;
    // Pieces: trapped bishops, minor pieces, rooks, queens and their attacks.
    evaluateTrappedBishops(pos, WHITE);
    evaluateTrappedBishops(pos, BLACK);
    forEachPiece(pos, KNIGHT, evaluateKnight);
    forEachPiece(pos, BISHOP, evaluateBishop);
    for (int c = 0; c < 2; ++c)
        w.minorAttacks[c] = w.knightAttacks[c] | w.bishopAttacks[c];
    forEachPiece(pos, ROOK, evaluateRook);
    forEachPiece(pos, QUEEN, evaluateQueen);
    s += pieceAttacks(pos, WHITE) - pieceAttacks(pos, BLACK);
    // King safety, outside endgames.
    if (!w.endgameFlag && base::featureOn(base::F_KING_SAFETY)) s += evaluateKingSafety(pos);
    // Mobility, weighted per side.
    if (base::featureOn(base::F_MOBILITY)) {
        w.midScore += MobilityWeight[WHITE] * w.mobilityMid[WHITE] / 64 -
                      MobilityWeight[BLACK] * w.mobilityMid[BLACK] / 64;
        w.endScore += MobilityWeight[WHITE] * w.mobilityEnd[WHITE] / 64 -
                      MobilityWeight[BLACK] * w.mobilityEnd[BLACK] / 64;
    }
    // Outposts, piece bonuses and patterns count in full in every phase.
    for (Colour c : {WHITE, BLACK}) {
        int unphased = w.outpostScore[c] + w.pieceBonus[c] + w.patternPenalty[c];
        s += c == WHITE ? unphased : -unphased;
    }
    // Middlegame and endgame sums mixed by phase.
    s += blend(w.midScore, w.endScore, gamePhase(pos));
    // Endgame scaling.
    if (w.endgameFlag && base::featureOn(base::F_ENDGAME_KNOWLEDGE))
        s = rookAgainstMinor(pos, scaleEndgame(pos, s));
    return s;
}

} // namespace

void initEvaluation() {
    buildPieceSquareTables();
    buildEvaluationMasks();
    buildEndgameTables();
}

int quickEvaluate(Position &pos, PawnTable *pawns) {
    auto &w = pos.evalWork;
    // 1. Occupancy, pawn attacks and spans, endgame flag.
    w.allPieces = pos.occupied[WHITE] | pos.occupied[BLACK];
    for (Colour c : {WHITE, BLACK}) {
        w.pawnAttacks[c] = PawnAttacksOf(c, pos.pieces[c][PAWN]);
        w.pawnSpan[c] = forwardFill(c, w.pawnAttacks[c]);
    }
    w.endgameFlag = pos.material[WHITE] < EndgameMaterialLimit && pos.material[BLACK] < EndgameMaterialLimit;
    // 2. Material.
    int m = materialStep(pos);
    w.materialScore = m;
    // 3. Material knowledge may be final.
    if (w.evalMode == EvalExact) return forSideToMove(pos, m);
    if (w.evalMode == EvalTempoOnly) return forSideToMove(pos, m + tempo(pos));
    // 4. Tables, passed pawns, pawn structure.
    int mid = pos.pstMg[WHITE] - pos.pstMg[BLACK];
    int end = pos.pstEg[WHITE] - pos.pstEg[BLACK];
    w.passedScore = base::featureOn(base::F_PASSED_PAWNS) ? passedPawnScore(pos) : 0;
    mid += w.passedScore;
    end += passedEnd(w.passedScore);
    evaluatePawns(pos, pawns);
    if (!base::featureOn(base::F_PAWN_STRUCTURE)) w.pawnMid = w.pawnEnd = 0;
    mid += w.pawnMid;
    end += w.pawnEnd;
    w.midScore = mid;
    w.endScore = end;
    // 5. Tempo, the phase blend and endgame scaling.
    int s = m + tempo(pos) + blend(mid, end, gamePhase(pos));
    if (w.endgameFlag && base::featureOn(base::F_ENDGAME_KNOWLEDGE)) s = scaleEndgame(pos, s);
    return forSideToMove(pos, s);
}

int fullEvaluate(Position &pos, PawnTable *pawns) {
    auto &w = pos.evalWork;
    int s;
    if (!w.endgameFlag || !base::featureOn(base::F_ENDGAME_KNOWLEDGE))
        s = positionalEvaluation(pos);
    else if (pos.material[WHITE] == 0 && pos.material[BLACK] == 0)
        s = evaluatePawnEnding(pos, pawns);
    else if (pos.pieces[WHITE][PAWN] | pos.pieces[BLACK][PAWN])
        s = positionalEvaluation(pos);
    else
        s = evaluatePawnlessEnding(pos);
    return forSideToMove(pos, s);
}

int fiftyMoveTaper(const Position &pos, int score) {
    int fifty = int(pos.fifty);
    if (fifty <= FIFTY_TAPER_START) return score;
    if (fifty >= FIFTY_MOVE_PLIES) return 0;
    return (FIFTY_MOVE_PLIES - fifty) * score / 25;
}

} // namespace eval

#include "eval/weights.h"

#include "eval/tables.h"

namespace eval {

using namespace position;

namespace {
constexpr int DEFAULT_VALUES[6] = {0, 975, 500, 335, 325, 100};
constexpr int DEFAULT_BISHOP_PAIR = 30;
constexpr int DEFAULT_AGGRESSION = 100, DEFAULT_CAUTION = 100, DEFAULT_ACTIVITY = 100,
              DEFAULT_RESTRAINT = 120, DEFAULT_PASSERS = 100, DEFAULT_PAWN_STRUCTURE = 100;

int percentToWeight(int percent) { return percent * 64 / 100; }
} // namespace

int BishopPairBonus = DEFAULT_BISHOP_PAIR;
int EndgameMaterialLimit = DEFAULT_VALUES[QUEEN] + DEFAULT_VALUES[BISHOP] - 1;
int KingDangerWeight[2] = {64, 64};
int MobilityWeight[2] = {64, 76};
int PassedPawnWeight = 64;
int PawnStructureWeight = 64;

void setEvaluationWeights(int aggression, int caution, int activity, int restraint, int passers,
                          int pawnStructure, Colour sideToMove) {
    KingDangerWeight[sideToMove] = percentToWeight(aggression);
    KingDangerWeight[~sideToMove] = percentToWeight(caution);
    MobilityWeight[sideToMove] = percentToWeight(activity);
    MobilityWeight[~sideToMove] = percentToWeight(restraint);
    PassedPawnWeight = percentToWeight(passers);
    PawnStructureWeight = percentToWeight(pawnStructure);
}

void setPieceValues(int knight, int bishop, int rook, int queen, int bishopPair) {
    PieceValue[KNIGHT] = knight;
    PieceValue[BISHOP] = bishop;
    PieceValue[ROOK] = rook;
    PieceValue[QUEEN] = queen;
    BishopPairBonus = bishopPair;
}

void resetEvaluationParameters() {
    for (int t = 0; t < 6; ++t)
        PieceValue[t] = DEFAULT_VALUES[t];
    BishopPairBonus = DEFAULT_BISHOP_PAIR;
    EndgameMaterialLimit = DEFAULT_VALUES[QUEEN] + DEFAULT_VALUES[BISHOP] - 1;
    setEvaluationWeights(DEFAULT_AGGRESSION, DEFAULT_CAUTION, DEFAULT_ACTIVITY, DEFAULT_RESTRAINT,
                         DEFAULT_PASSERS, DEFAULT_PAWN_STRUCTURE, WHITE);
}

} // namespace eval

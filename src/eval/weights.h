// Values that change between searches: piece values from the material options and the
// per-search personality weights (64 = 100 %).
#pragma once

#include "position/types.h"

namespace eval {

extern int BishopPairBonus;
// Both sides' material below this marks an endgame; fixed from the default values.
extern int EndgameMaterialLimit;

// KingDangerWeight[c] weighs the danger to c's own king; MobilityWeight[c] c's mobility.
extern int KingDangerWeight[2];
extern int MobilityWeight[2];
extern int PassedPawnWeight;
extern int PawnStructureWeight;

// Percentages of the personality options; Aggression and Activity go to the side to move at
// the root, Caution and Restraint to the other side. Call at every search start.
void setEvaluationWeights(int aggression, int caution, int activity, int restraint, int passers,
                          int pawnStructure, position::Colour sideToMove);
// Option hook for Knight, Bishop, Rook, Queen and Bishop Pair.
void setPieceValues(int knight, int bishop, int rook, int queen, int bishopPair);

// Defaults for values and weights (as if the options kept their defaults, White to move).
void resetEvaluationParameters();

} // namespace eval

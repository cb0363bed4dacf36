// Working fields the evaluation fills and reads during one evaluation. They live inside the
// position record so that a bytewise copy of a position carries them.
#pragma once

#include <cstdint>

namespace base {

// How far an evaluation may go after the material step.
enum EvalMode : std::int32_t {
    EvalExact = 0,            // the material score is final
    EvalTempoOnly = 1,        // final after adding the tempo bonus
    EvalReplacedMaterial = 2, // substitute material score, positional terms still added
    EvalNormal = 3,
};

// All scores are from White's point of view; per-colour arrays are indexed White 0, Black 1.
struct EvalScratch {
    std::int32_t nullMoveAllowed; // the search tries a null move only while this is set
    std::int32_t evalMode;
    std::int32_t materialScore;
    std::int32_t midScore; // midgame accumulator
    std::int32_t endScore; // endgame accumulator
    std::int32_t endgameFlag;

    // Filled by the quick evaluation.
    std::uint64_t allPieces;
    std::uint64_t pawnAttacks[2];
    std::uint64_t pawnSpan[2]; // pawn attacks filled towards the opponent's back rank
    std::uint64_t passedPawns[2];
    std::int32_t passedScore;
    std::int32_t pawnMid;
    std::int32_t pawnEnd;

    // Filled by the full positional evaluation.
    std::uint64_t queenAttacks[2];
    std::uint64_t rookAttacks[2];
    std::uint64_t bishopAttacks[2];
    std::uint64_t knightAttacks[2];
    std::uint64_t minorAttacks[2];
    std::uint64_t rookLineAttacks[2]; // x-rayed rook attacks as used for the king attack
    std::int32_t kingAttackers[2];    // pieces reaching the enemy king zone
    std::int32_t kingAttackUnits[2];  // units against the enemy king
    std::int32_t openFileUnits[2];
    std::int32_t mobilityMid[2];
    std::int32_t mobilityEnd[2];
    std::int32_t outpostScore[2];
    std::int32_t pieceBonus[2];
    std::int32_t patternPenalty[2];
};

} // namespace base

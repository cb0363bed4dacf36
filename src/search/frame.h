// One node frame of the non-recursive main search: what a recursive call would keep on its stack.
#pragma once

#include "position/position.h"

#include <cstdint>

namespace search {

// What a frame does next. Values are fixed: the dispatcher and the root driver share them.
enum FrameState : std::int32_t {
    Exit = 0,
    PvNode = 3,
    PvAfterQuiescence = 4,
    PvAfterFirst = 5,
    RootAfterProbe = 6,
    RootAfterResearch = 7,
    PvAfterScout = 8,
    PvAfterResearch = 9,
    ScoutNode = 10,
    AfterNullMove = 11,
    ScoutAfterChild = 12,
    ScoutAfterResearch = 13,
    QuiescenceNode = 14,
    QuiescenceAfterChild = 15,
};

// Transposition-table bound types.
enum Bound : std::uint8_t { BOUND_EXACT = 0, BOUND_UPPER = 1, BOUND_LOWER = 2 };

constexpr int NO_SCORE = -32768;     // a probe that found nothing
constexpr int ILLEGAL_SCORE = 32767; // returned by a node whose position is illegal
constexpr int INITIAL_BEST = -32000;
constexpr int NOT_GENERATED = 255; // moveCount before generation

struct SearchFrame {
    // Saved on entry, restored by unmake.
    position::UndoState savedState;
    std::uint64_t nodesBefore; // PV nodes: main-search nodes when the current move was made
    position::MoveEntry *moves;
    // Window and depth.
    std::int32_t targetDepth; // PV nodes: final depth of the internal deepening
    std::int32_t depth;       // remaining depth in 1/256 ply
    std::int32_t extension;   // extensions minus reductions on the path from the root
    std::int32_t checkCount;  // quiescence: evasions already searched on this path
    std::int32_t alpha;
    std::int32_t beta;
    std::int32_t passAlpha; // PV nodes: alpha at the start of the final deepening pass
    FrameState state;
    std::int32_t pvSlot;
    // Move loop.
    std::int32_t moveCount;
    std::int32_t bestScore;
    std::int32_t undo; // captured piece type of the current move
    std::int32_t moveIndex;
    std::int32_t staticEval;
    std::int32_t futile;
    std::int32_t stage;
    std::int32_t readyEnd;
    std::int32_t reduction;
    std::int32_t reducedCount;
    position::Move currentMove;
    position::Move threatMove;
    position::Move bestMove;
    std::uint8_t inCheck;
    std::uint8_t orderShift;
};

} // namespace search

// The process-wide search-control record: the stop signal, the limits and the root result.
#pragma once

#include "position/types.h"

#include <cstdint>

namespace search {

enum : std::uint8_t { STATE_IDLE = 0, STATE_THINKING = 1, STATE_PONDERING = 2 };

enum : std::uint32_t {
    LIMIT_CLOCK = 1,
    LIMIT_INC = 2,
    LIMIT_MOVESTOGO = 4,
    LIMIT_DEPTH = 8,
    LIMIT_NODES = 16,
    LIMIT_MATE = 32,
    LIMIT_MOVETIME = 64,
    LIMIT_INFINITE = 128,
};

// Numbers from the interface are kept within these bounds, so that the time manager's arithmetic
// and depths in 1/256 plies cannot overflow: about 12 days of clock, a million plies.
constexpr std::int64_t CLOCK_BOUND_MS = std::int64_t(1) << 30;
constexpr std::int64_t DEPTH_BOUND = std::int64_t(1) << 20;
constexpr std::int32_t boundedLimit(std::int64_t value, std::int64_t bound) {
    return std::int32_t(value < -bound ? -bound : value > bound ? bound : value);
}

struct Limits {
    std::int32_t time[2]; // wtime, btime (ms)
    std::int32_t inc[2];  // winc, binc (ms)
    std::int32_t movestogo;
    std::int32_t depth; // plies
    std::int32_t nodes;
    std::int32_t mate;
    std::int32_t movetime;  // ms
    std::int32_t lagMargin; // ms
};

struct RootBestMove {
    position::Move bestMove;
    position::Move ponderMove;
    std::int32_t bestDepth;
    std::uint64_t bestTime;
    std::int32_t bestScore;
};

// Zero-initialised at start: idle, no limits.
extern volatile std::uint8_t SearchState;
extern std::uint32_t limitFlags;
extern Limits SearchLimits;
extern std::uint64_t startTime, moveStartTime, targetTime, hardTime;
extern std::uint64_t nodeCount;
extern std::uint64_t quiescenceNodeCount;
extern std::int32_t iterationDepth;
extern std::int32_t extensionCeiling;
extern RootBestMove RootBest;
extern position::Move instantMove;
extern std::int32_t rootFailedLow;
extern std::int32_t rootScoreKnown;
// 0 White, 1 Black, 2 none (analysis and the console speed commands).
extern std::int32_t engineSide;
constexpr std::int32_t WHITE_SIDE = 0, BLACK_SIDE = 1, NO_SIDE = 2;
extern std::int32_t suppressMoveOutput;

} // namespace search

// What every searching thread shares: the stop signal, the limits and clocks, the engine's side
// and the root result of the main thread. The protocol commands write it between searches and
// the main thread's poll during one; the other threads only read it.
#pragma once

#include "position/types.h"
#include "search/strength.h"

#include <atomic>
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

// The engine's colour: the draw score's contempt and the table entries are kept per side.
constexpr std::int32_t WHITE_SIDE = 0, BLACK_SIDE = 1, NO_SIDE = 2; // none: analysis, speed runs

struct SearchContext {
    std::atomic<std::uint8_t> state{STATE_IDLE}; // the stop signal: idle ends every loop
    std::uint32_t limitFlags = 0;
    Limits limits{};
    std::uint64_t startTime = 0, moveStartTime = 0, targetTime = 0, hardTime = 0; // ms
    std::int32_t engineSide = NO_SIDE;
    RootBestMove rootBest{};
    position::Move instantMove = 0; // what the book or a forced reply offers without a search
    std::int32_t maxDepth = 0;      // "Max depth" when the search started
    std::uint64_t nodeLimit = 0;    // the node limit of all threads together, 0 for none (fixed
                                    // when the search starts: the helpers check it too)
    // The interface reads a move only once it has released the search (ponderhit or stop): a
    // ponder search that ends by itself keeps its move, and a root without moves still answers.
    bool holdMoveUntilReleased = false;
    StrengthLimit limit{}; // a game search's strength limit and handicaps (none elsewhere)
};

extern SearchContext Shared;

inline std::uint8_t searchState() { return Shared.state.load(std::memory_order_relaxed); }
inline void setSearchState(std::uint8_t state) { Shared.state.store(state, std::memory_order_relaxed); }
inline bool searchIdle() { return searchState() == STATE_IDLE; }
inline void stopSearch() { setSearchState(STATE_IDLE); }

} // namespace search

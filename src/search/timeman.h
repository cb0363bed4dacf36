// How long one move may take, and when a running search must stop.
#pragma once

#include "base/clock.h"
#include "search/context.h"
#include "search/thread.h"

#include <cstdint>

namespace search {

// Thinks about the game position with the current limits; false when it has no legal move.
// The result is in Shared.rootBest.
bool runSearch();
// Sets targetTime and hardTime from the limits (search start and ponder hit); `fifty` is the
// half-move clock that shortens budgets in quiet phases.
void computeTimeBudget(std::uint32_t fifty);

// Where the limits are checked: at every node the main thread counts (the depth and node limits
// end the whole search, also an infinite one), at the clock check every few thousand nodes, and
// before each iteration after the first.
enum class LimitCheck : std::uint8_t { NODE, CLOCK, ITERATION };
constexpr std::int32_t FIRST_CUT_DEPTH = position::plies(3); // the first two iterations always run

// True when the threads together have searched the nodes a node limit allows.
inline bool nodeLimitReached() { return Shared.nodeLimit && searchedNodes() >= Shared.nodeLimit; }

// True when the search is idle or a limit is reached at that point. Inline: the main thread asks
// at every node it counts.
inline bool limitReached(LimitCheck at) {
    if (searchIdle()) return true;
    const SearchContext &c = Shared;
    const SearchThread &main = mainThread();
    std::uint32_t flags = c.limitFlags;
    bool depthPassed = (flags & LIMIT_DEPTH) && main.iterationDepth > position::plies(c.limits.depth);
    // At a node, a node limit is reached by the node that makes it up; between iterations and
    // at the clock check, only a search that went past it stops. Every thread's nodes count.
    if (at == LimitCheck::NODE) return depthPassed || nodeLimitReached();
    if (flags & LIMIT_INFINITE) return false;
    if (flags & LIMIT_DEPTH) return depthPassed;
    if (flags & LIMIT_NODES) return searchedNodes() > c.nodeLimit;
    std::uint64_t elapsed = base::GetTimeMs() - c.startTime;
    if (flags & LIMIT_MOVETIME) return elapsed > c.targetTime;
    if (main.iterationDepth < FIRST_CUT_DEPTH) return false;
    // A new iteration starts only while at most half of the budget is used.
    if (at == LimitCheck::ITERATION) return 2 * elapsed > c.targetTime;
    // An unsettled root (failed low, or no score inside the window yet) may use the hard budget.
    if (main.rootFailedLow || !main.rootScoreKnown) return elapsed > c.hardTime;
    return elapsed > c.targetTime;
}

inline bool iterationMayStart() { return !limitReached(LimitCheck::ITERATION); }

} // namespace search

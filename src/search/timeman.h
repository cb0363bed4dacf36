// How long one move may take, and when a running search must stop.
#pragma once

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
// True when the search is idle or a limit is reached at that point.
bool limitReached(LimitCheck at);
inline bool iterationMayStart() { return !limitReached(LimitCheck::ITERATION); }

} // namespace search

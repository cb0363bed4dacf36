// How long one move may take, and when a running search must stop.
#pragma once

#include <cstdint>

namespace search {

// Thinks about the game position with the current limits and reports the move.
void runSearch();
// Sets targetTime and hardTime from the limits (search start and ponder hit); `fifty` is the
// half-move clock that shortens budgets in quiet phases.
void computeTimeBudget(std::uint32_t fifty);
// The in-search stop test, asked every 4096 nodes; true means stop.
bool timeIsUp();

} // namespace search

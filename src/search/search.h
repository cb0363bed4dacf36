// The main search: one non-recursive routine over the thread's explicit frame stack.
#pragma once

#include <cstdint>

namespace search {

// Entries 0..19, indexed by remaining depth in quarter plies.
extern int futilityMargin[20];

// Root frame, ply index, board, iteration depth and extension ceiling are set by the caller.
// Returns the root score, or 0 when the search was stopped (frames and board are then left as
// they were; the caller restores the root position).
int search(int threadIndex);

// The stop test the search calls at every node after counting it; true means stop. Replaceable
// by the command loop, which reads pending input on the way.
using PollFunction = bool (*)(bool exempt);
extern PollFunction PollHook;
// Idle state, depth and node limits, and the periodic hashfull report.
bool defaultPoll(bool exempt);

void buildFutilityMargins();
// One-time start-up tables of the search (exchange table, futility margins, history).
void initSearch();

} // namespace search

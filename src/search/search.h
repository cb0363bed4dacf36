// The main search: one non-recursive routine over the thread's explicit frame stack.
#pragma once

#include <cstdint>

namespace search {

struct SearchThread;

// Entries 0..19, indexed by remaining depth in quarter plies.
extern int futilityMargin[20];

// Root frame, ply index, board, iteration depth and extension ceiling are set by the caller.
// Returns the root score, or 0 when the search was stopped (frames and board are then left as
// they were; the caller restores the root position).
int search(SearchThread &thread);

// The main thread's stop test at every node it counts; true means stop. `exempt` skips the
// limits. Every 4096 nodes it reads the input (which may run commands such as "stop") and checks
// the clock; every 65536 nodes it reports the table fill.
bool pollSearch(bool exempt);

void buildFutilityMargins();
// One-time start-up tables of the search (exchange table, futility margins, history).
void initSearch();

} // namespace search

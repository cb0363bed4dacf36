// The helper threads: threads 1 .. ThreadCount - 1 search the same root as the main thread and
// share its transposition table. They wait between searches; the main thread starts them on its
// root and waits for them after each search.
#pragma once

namespace search {

// Sets the number of searching threads (1 .. MAX_THREADS), allocating the records and tables of
// new helpers and releasing those of dropped ones. Only while no search runs. Answers the count
// reached: fewer than asked when memory ran out.
int setThreadCount(int count);
// Main thread: starts every helper's search (their positions are set) ...
void startHelpers();
// ... and waits until all have stopped (after the stop signal).
void waitForHelpers();
// The index of the searching thread that calls (0 on the main thread and any other thread).
int currentThreadIndex();
// Runs `work(part, parts)` on the main thread and `parts - 1` short-lived threads at once.
void runInParallel(int parts, void (*work)(int part, int parts));

} // namespace search

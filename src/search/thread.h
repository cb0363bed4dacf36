// One searching thread's own record: everything the search writes while it runs. Thread 0 is
// the main thread: it alone polls the input, consults the book and reports.
#pragma once

#include "eval/pawns.h"
#include "position/movegen.h"
#include "position/position.h"
#include "search/frame.h"
#include "search/pvcache.h"

#include <atomic>
#include <cstdint>

namespace search {

constexpr int KILLER_PLIES = 100;
constexpr int FRAME_COUNT = 101; // plies 0 to 100
// A node's list starts at most 64 entries behind its parent's end, and a PV node copies a whole
// 256-entry list from the PV cache: room for that on every ply keeps the deepest line in bounds.
constexpr int ARENA_GAP = 64;
constexpr int MOVE_STACK_SIZE = FRAME_COUNT * (position::MAX_MOVES + ARENA_GAP) + position::MAX_MOVES;

// One line of the MultiPV result set.
struct RootRow {
    position::Move move;
    int score;
};

// The root moves of the last completed full-depth pass, best first (MultiPV).
struct RootRows {
    RootRow rows[position::MAX_MOVES];
    int count;
    bool complete; // the rows belong to the iteration now running
    bool printed;  // ... and have been reported
};

struct SearchThread {
    int index;
    // Work done, and the iteration this thread runs. The main thread reads every thread's node
    // count (limits, reports) and table fills; only the owner writes them.
    std::atomic<std::uint64_t> nodeCount;
    std::atomic<std::uint64_t> tableFills; // stores into empty transposition-table entries
    std::atomic<std::uint64_t> tableHits;  // endgame-table probes that answered
    std::uint64_t quiescenceNodeCount;
    std::int32_t iterationDepth;   // 1/256 ply
    std::int32_t extensionCeiling; // twice the iteration depth: extensions stop there
    // Root flags of the running iteration, read by the time check.
    std::int32_t rootFailedLow;
    std::int32_t rootScoreKnown;
    // Move ordering.
    std::uint16_t killers[KILLER_PLIES][2];
    std::int16_t history[position::HISTORY_SIZE];
    bool historyOrdering; // quiet moves are ordered by history (from the third iteration on)
    // Caches kept from search to search.
    PvCacheState pvCache;
    eval::PawnTable pawns;
    RootRows rootRows;
    // The working position, the move-list arena and the explicit frame stack.
    position::Position position;
    position::MoveEntry moveStack[MOVE_STACK_SIZE];
    std::int32_t ply; // negative when no search runs
    SearchFrame frames[FRAME_COUNT];
};

constexpr int MAX_THREADS = 512;
// Slots 0 .. ThreadCount - 1 hold the records of the searching threads; thread 0 is the main
// thread, the others are helpers (search/pool.h).
extern SearchThread *Threads[MAX_THREADS];
extern int ThreadCount;
inline SearchThread &mainThread() { return *Threads[0]; }

// Allocates thread 0's record (with its pawn table) and enters it in slot 0.
void allocateSearchThreads();
// A new record for thread `index` with its tables, or null without memory; and its release.
SearchThread *newSearchThread(int index);
void deleteSearchThread(SearchThread *thread);
// Counts one node of the thread (only the thread itself counts its nodes).
inline void countNode(SearchThread &thread) {
    thread.nodeCount.store(thread.nodeCount.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}
inline void countTableHit(SearchThread &thread) {
    thread.tableHits.store(thread.tableHits.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}
// Nodes and endgame-table hits of all searching threads.
std::uint64_t searchedNodes();
std::uint64_t searchedTableHits();
// The thread's nodes outside the quiescence search (PV nodes order their moves by them).
inline std::uint64_t fullWidthNodes(const SearchThread &thread) {
    return thread.nodeCount.load(std::memory_order_relaxed) - thread.quiescenceNodeCount;
}
// Moves every killer pair down by two plies (start of a search); the last two plies keep theirs.
void shiftKillers(SearchThread &thread);
void clearKillers(SearchThread &thread);
// Every thread's history counters back to their start value.
void resetHistory();
// The history table the move generators order quiet moves by, or none.
inline const std::int16_t *orderingHistory(const SearchThread &thread) {
    return thread.historyOrdering ? thread.history : nullptr;
}

} // namespace search

// The search context of search thread 0 (the main thread): killers, the working position,
// the move-list arena, the ply index and the explicit frame stack.
#pragma once

#include "position/movegen.h"
#include "position/position.h"
#include "search/frame.h"

#include <cstdint>

namespace search {

constexpr int KILLER_PLIES = 100;
constexpr int FRAME_COUNT = 101; // plies 0 to 100
// A node's list starts at most 64 entries behind its parent's end, and a PV node copies a whole
// 256-entry list from the PV cache: room for that on every ply keeps the deepest line in bounds.
constexpr int ARENA_GAP = 64;
constexpr int MOVE_STACK_SIZE = FRAME_COUNT * (position::MAX_MOVES + ARENA_GAP) + position::MAX_MOVES;

struct SearchThread {
    std::uint16_t killers[KILLER_PLIES][2];
    position::Position position;
    position::MoveEntry moveStack[MOVE_STACK_SIZE];
    std::int32_t ply; // negative when no search runs
    SearchFrame frames[FRAME_COUNT];
};

constexpr int MAX_THREADS = 1;
extern SearchThread *Threads[MAX_THREADS];

// Allocates thread 0's record and enters it in slot 0.
void allocateSearchThreads();
// Moves every killer pair down by two plies (start of a search); the last two plies keep theirs.
void shiftKillers(SearchThread &thread);
void clearKillers(SearchThread &thread);

} // namespace search

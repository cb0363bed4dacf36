// The search context of search thread 0 (the main thread): killers, the working position,
// the move-list arena, the ply index and the explicit frame stack.
#pragma once

#include "position/position.h"
#include "search/frame.h"

#include <cstdint>

namespace search {

constexpr int MOVE_STACK_SIZE = 6400;
constexpr int KILLER_PLIES = 100;
constexpr int FRAME_COUNT = 101; // plies 0 to 100

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

} // namespace search

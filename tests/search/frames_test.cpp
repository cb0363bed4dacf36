#include "helpers.h"

#include "search/context.h"
#include "search/search_internal.h"
#include "search/thread.h"

#include <gtest/gtest.h>

using namespace position;
using namespace search;

namespace {

// Thread 0 with a root frame of the given depth, as the root driver leaves it.
detail::Run rootOf(SearchThread &t, int iterationPlies) {
    t.iterationDepth = plies(iterationPlies);
    t.extensionCeiling = 2 * t.iterationDepth;
    t.frames[0] = SearchFrame{};
    t.frames[0].moves = t.moveStack;
    t.frames[0].depth = t.iterationDepth;
    t.ply = 0;
    return {t, t.position, 0};
}

} // namespace

// A line of checks keeps its depth while it extends, but the extensions of a path stop at twice
// the iteration depth: every line reaches the quiescence search. Reductions still apply there.
TEST(FrameStack, ExtendedLinesReachTheQuiescenceSearch) {
    searchtest::init();
    SearchThread &t = mainThread();
    for (int iteration : {2, 4, 9}) {
        detail::Run r = rootOf(t, iteration);
        while (t.frames[t.ply].depth >= detail::QUIESCENCE_BELOW && t.ply < MAX_PLY) {
            detail::pushChild(r, -10, 10, ScoutNode, ScoutAfterChild, 0);
            detail::extendNode(r, t.frames[t.ply], ONE_PLY); // a check on every move
        }
        EXPECT_LE(t.ply, 3 * iteration) << "iteration " << iteration;
        EXPECT_EQ(t.frames[t.ply].extension, t.extensionCeiling);
        int depth = t.frames[t.ply].depth;
        detail::pushChild(r, 0, 1, ScoutNode, ScoutAfterChild, -ONE_PLY);
        EXPECT_EQ(t.frames[t.ply].depth, depth - plies(2)) << "a reduction at the ceiling";
    }
    t.ply = -1;
}

// Whatever the parent asks for, a node on the stack's last frame is a quiescence node, which
// ends the line there.
TEST(FrameStack, TheLastFrameHoldsAQuiescenceNode) {
    searchtest::init();
    SearchThread &t = mainThread();
    detail::Run r = rootOf(t, 60);
    for (FrameState state : {PvNode, ScoutNode}) {
        t.ply = MAX_PLY - 2;
        t.frames[t.ply] = t.frames[0];
        detail::pushChild(r, -10, 10, state, PvAfterFirst, 0);
        EXPECT_EQ(t.frames[t.ply].state, state);
        detail::pushChild(r, -10, 10, state, PvAfterFirst, 0);
        EXPECT_EQ(t.ply, MAX_PLY);
        EXPECT_EQ(t.frames[t.ply].state, QuiescenceNode);
    }
    t.ply = -1;
}

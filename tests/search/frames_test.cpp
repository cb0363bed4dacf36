#include "helpers.h"

#include "search/control.h"
#include "search/search_internal.h"
#include "search/thread.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace position;
using namespace search;

TEST(FrameStack, PushesStayInsideTheStackAndTheExtensionCeiling) {
    searchtest::init();
    SearchThread &t = *Threads[0];
    detail::Run r{0, t, t.position, 0};
    extensionCeiling = 2 * 768;

    // Only quiescence nodes stand on the last frame.
    SearchFrame &parent = t.frames[MAX_PLY - 1];
    parent = SearchFrame{};
    parent.moves = t.moveStack;
    parent.depth = 2560;
    parent.extension = 1400;
    t.ply = MAX_PLY - 1;
    detail::pushChild(r, -10, 10, ScoutNode, ScoutAfterChild, 448);
    EXPECT_EQ(t.ply, MAX_PLY);
    const SearchFrame &child = t.frames[MAX_PLY];
    EXPECT_EQ(child.state, QuiescenceNode);
    EXPECT_EQ(parent.state, ScoutAfterChild);
    // The extension is capped so the path's total stays at twice the iteration depth.
    EXPECT_EQ(child.extension, 2 * 768);
    EXPECT_EQ(child.depth, 2560 - 256 + (2 * 768 - 1400));

    // Reductions are not capped.
    t.ply = 5;
    t.frames[5] = parent;
    detail::pushChild(r, 0, 1, ScoutNode, ScoutAfterChild, -256);
    EXPECT_EQ(t.frames[6].state, ScoutNode);
    EXPECT_EQ(t.frames[6].depth, 2560 - 512);
    EXPECT_EQ(t.frames[6].extension, 1400 - 256);
    t.ply = -1;
}

// Extensions stop at the ceiling; the depth grows by what was granted.
TEST(FrameStack, ExtensionsStopAtTheCeiling) {
    extensionCeiling = 1024;
    SearchFrame f{};
    f.depth = 512;
    f.extension = 800;
    detail::extendNode(f, 192);
    detail::extendNode(f, 256);
    EXPECT_EQ(f.extension, 1024);
    EXPECT_EQ(f.depth, 512 + 224);
}

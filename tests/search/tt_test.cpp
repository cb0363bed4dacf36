#include "helpers.h"

#include "search/context.h"
#include "search/settings.h"
#include "search/thread.h"
#include "search/tt.h"

#include <gtest/gtest.h>

using namespace position;
using namespace search;

namespace {

struct TableTest : ::testing::Test {
    Position pos{};
    void SetUp() override {
        searchtest::init();
        Settings.hashMb = 1;
        allocateHash();
        Shared.engineSide = WHITE;
        setSearchState(STATE_THINKING);
        pos.key = 0x123456789ABCDEF0ULL;
        pos.sideToMove = WHITE;
        pos.fifty = 0;
    }
    void TearDown() override {
        setSearchState(STATE_IDLE);
        Shared.engineSide = NO_SIDE;
    }
};

constexpr Move SOME_MOVE = 0x0ABC;

HashData entryOf(const Position &pos) {
    HashData d{};
    EXPECT_TRUE(readHashEntry(pos, d));
    return d;
}

} // namespace

TEST_F(TableTest, SizesAndIndexMask) {
    EXPECT_EQ(HashTable.mask, 65535u);
    Settings.hashMb = 3;
    allocateHash();
    EXPECT_EQ(HashTable.mask, 196607u);
    // Keys whose low bits lie outside the mask still land inside the table.
    for (std::uint64_t key : {0xFFFFFFFFFFFFFFFFULL, 0x1FFFFULL, 0x30000ULL}) {
        pos.key = key;
        store(mainThread(), pos, 0, 512, 42, BOUND_EXACT, SOME_MOVE);
        EXPECT_EQ(probeScout(pos, 0, 512, 100).score, 42);
    }
    Settings.hashMb = 0;
    allocateHash();
    EXPECT_EQ(HashTable.mask, 0u);
    store(mainThread(), pos, 0, 512, 42, BOUND_EXACT, SOME_MOVE);
    EXPECT_EQ(probeScout(pos, 0, 512, 100).move, NO_MOVE);
    EXPECT_EQ(mainTableFill(), -1);
}

TEST_F(TableTest, MateScoresAreStoredAsDistanceFromTheNode) {
    store(mainThread(), pos, 5, 1024, 31990, BOUND_EXACT, SOME_MOVE);
    EXPECT_EQ(entryOf(pos).score, 31995);
    EXPECT_EQ(probeScout(pos, 7, 1024, 0).score, 31988);
    store(mainThread(), pos, 5, 1024, -31990, BOUND_EXACT, SOME_MOVE);
    EXPECT_EQ(entryOf(pos).score, -31995);
    EXPECT_EQ(probePv(pos, 3, 1024, -32767, 32767).score, -31992);
}

TEST_F(TableTest, DepthAndBounds) {
    store(mainThread(), pos, 0, 4 * 256, 10, BOUND_EXACT, SOME_MOVE);
    EXPECT_EQ(probeScout(pos, 0, 1024, 0).score, 10);
    EXPECT_EQ(probeScout(pos, 0, 1279, 0).score, 10);
    ProbeResult shallow = probeScout(pos, 0, 1280, 0);
    EXPECT_EQ(shallow.score, NO_SCORE);
    EXPECT_EQ(shallow.move, SOME_MOVE); // the move is reported even without a usable score

    store(mainThread(), pos, 0, 256, 50, BOUND_LOWER, SOME_MOVE);
    EXPECT_EQ(probeScout(pos, 0, 256, 50).score, 50);
    EXPECT_EQ(probeScout(pos, 0, 256, 51).score, NO_SCORE);
    store(mainThread(), pos, 0, 256, 50, BOUND_UPPER, SOME_MOVE);
    EXPECT_EQ(probeScout(pos, 0, 256, 51).score, 50);
    EXPECT_EQ(probeScout(pos, 0, 256, 50).score, NO_SCORE);
    // The PV form compares an upper bound with alpha.
    EXPECT_EQ(probePv(pos, 0, 256, 50, 100).score, 50);
    EXPECT_EQ(probePv(pos, 0, 256, 49, 100).score, NO_SCORE);
}

TEST_F(TableTest, CheckWordSideAndColour) {
    store(mainThread(), pos, 0, 256, 20, BOUND_EXACT, SOME_MOVE);
    // Same index, other key or other side to move: the entry does not verify.
    Position other = pos;
    other.key ^= 0x8000000000000000ULL;
    EXPECT_EQ(probeScout(other, 0, 256, 0).move, NO_MOVE);
    other = pos;
    other.sideToMove = BLACK;
    EXPECT_EQ(probeScout(other, 0, 256, 0).move, NO_MOVE);
    // Stored while playing White: not trusted when playing Black or analysing.
    Shared.engineSide = BLACK;
    ProbeResult r = probeScout(pos, 0, 256, 0);
    EXPECT_EQ(r.move, SOME_MOVE);
    EXPECT_EQ(r.score, NO_SCORE);
    Shared.engineSide = NO_SIDE;
    EXPECT_EQ(probeScout(pos, 0, 256, 0).score, NO_SCORE);
}

TEST_F(TableTest, FiftyMoveRule) {
    store(mainThread(), pos, 0, 256, 20, BOUND_EXACT, SOME_MOVE);
    pos.fifty = 76;
    EXPECT_EQ(probeScout(pos, 0, 256, 0).score, NO_SCORE);
    store(mainThread(), pos, 0, 256, 20, BOUND_EXACT, SOME_MOVE);
    HashData e = entryOf(pos);
    EXPECT_EQ(e.score, 32767);
    EXPECT_EQ(e.bound, BOUND_UPPER);
    pos.fifty = 75;
    EXPECT_EQ(probeScout(pos, 0, 256, 32767).score, NO_SCORE); // an upper bound of 32767 never cuts
}

// The fill is the per-mille share of entries in use, not a count of stores.
TEST_F(TableTest, FillReportsEntriesInUse) {
    EXPECT_EQ(mainTableFill(), 0);
    const std::uint64_t first = pos.key, entries = HashTable.mask + 1;
    auto storeRun = [&](std::uint64_t from, std::uint64_t count) {
        for (pos.key = from; pos.key < from + count; ++pos.key)
            store(mainThread(), pos, 0, 256, 3, BOUND_EXACT, SOME_MOVE);
    };
    storeRun(first, 1000);
    int some = mainTableFill();
    EXPECT_GT(some, 0);
    // The same positions again, or others landing in the same entries: no change.
    storeRun(first, 1000);
    storeRun(first + entries, 1000);
    EXPECT_EQ(mainTableFill(), some);
    storeRun(first, entries / 2);
    EXPECT_NEAR(mainTableFill(), 500, 1);
    storeRun(first, entries);
    EXPECT_EQ(mainTableFill(), 1000);
    clearHash();
    EXPECT_EQ(mainTableFill(), 0);
}

TEST_F(TableTest, StoresStopWhenIdle) {
    setSearchState(STATE_IDLE);
    store(mainThread(), pos, 0, 256, 4, BOUND_EXACT, SOME_MOVE);
    setSearchState(STATE_THINKING);
    EXPECT_EQ(probeScout(pos, 0, 256, 0).move, NO_MOVE);
    store(mainThread(), pos, 0, 256, 4, BOUND_EXACT, SOME_MOVE);
    EXPECT_EQ(probeScout(pos, 0, 256, 0).move, SOME_MOVE);
    clearHash();
    EXPECT_EQ(probeScout(pos, 0, 256, 0).move, NO_MOVE);
    // Negative depths fit the depth byte.
    store(mainThread(), pos, 0, -300, 5, BOUND_EXACT, SOME_MOVE);
    EXPECT_EQ(entryOf(pos).depth, 0);
}

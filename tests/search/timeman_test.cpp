#include "position/fen.h"
#include "search/control.h"
#include "search/thread.h"
#include "search/timeman.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace search;

namespace {

class TimeBudget : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::initOnce();
        SearchState = STATE_THINKING;
        SearchLimits = {};
        SearchLimits.lagMargin = 10;
        engineSide = WHITE_SIDE;
        Threads[0]->position.fifty = 0;
        targetTime = hardTime = 0;
    }
    void TearDown() override { SearchState = STATE_IDLE; }
};

TEST_F(TimeBudget, ClockPlay) {
    // 60 s each, no increment: a 24th of the clock less the lag margin, hard limit twice that.
    limitFlags = LIMIT_CLOCK;
    SearchLimits.time[0] = SearchLimits.time[1] = 60000;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 2490u);
    EXPECT_EQ(hardTime, 4980u);
    // One move to the time control: half the clock, doubled.
    limitFlags = LIMIT_CLOCK | LIMIT_INC | LIMIT_MOVESTOGO;
    SearchLimits.time[0] = 3000;
    SearchLimits.movestogo = 1;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 2u * (1500 - 10));
    EXPECT_EQ(hardTime, targetTime);
    // movestogo 0 spends the whole clock.
    SearchLimits.movestogo = 0;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 2u * (3000 - 10));
    // The engine's own colour decides which clock counts.
    engineSide = BLACK_SIDE;
    limitFlags = LIMIT_CLOCK | LIMIT_INC;
    SearchLimits.time[1] = 24000;
    SearchLimits.inc[1] = 500;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 1000u + 500 - 10);
}

TEST_F(TimeBudget, ShortBudgetsShrink) {
    limitFlags = LIMIT_INC;
    SearchLimits.inc[0] = 160; // 150 after the lag margin
    computeTimeBudget();
    EXPECT_EQ(targetTime, 105u);
    Threads[0]->position.fifty = 51;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 73u);
    Threads[0]->position.fifty = 30;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 94u);
    // With moves to go nothing shrinks.
    limitFlags = LIMIT_INC | LIMIT_MOVESTOGO;
    SearchLimits.movestogo = 30;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 150u);
    // A negative clock counts as an empty one: the budget is only the increment.
    limitFlags = LIMIT_CLOCK | LIMIT_INC;
    SearchLimits.time[0] = -5000;
    SearchLimits.inc[0] = 0;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 0u);
}

TEST_F(TimeBudget, MoveTimeAndUnboundedSearches) {
    limitFlags = LIMIT_MOVETIME;
    SearchLimits.movetime = 1000;
    hardTime = 12345;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 990u);
    EXPECT_EQ(hardTime, 12345u);
    SearchLimits.movetime = 5;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 0u);
    // Infinite, depth and node searches and pondering leave the budget alone.
    for (std::uint32_t flags : {std::uint32_t(LIMIT_INFINITE), std::uint32_t(LIMIT_DEPTH | LIMIT_CLOCK),
                                std::uint32_t(LIMIT_NODES)}) {
        limitFlags = flags;
        targetTime = 777;
        computeTimeBudget();
        EXPECT_EQ(targetTime, 777u);
    }
    SearchState = STATE_PONDERING;
    limitFlags = LIMIT_CLOCK;
    computeTimeBudget();
    EXPECT_EQ(targetTime, 777u);
}

TEST_F(TimeBudget, StopTests) {
    limitFlags = LIMIT_DEPTH;
    SearchLimits.depth = 4;
    iterationDepth = 4 * 256;
    EXPECT_FALSE(timeIsUp());
    iterationDepth = 5 * 256;
    EXPECT_TRUE(timeIsUp());
    limitFlags = LIMIT_NODES;
    SearchLimits.nodes = 1000;
    nodeCount = 1000;
    EXPECT_FALSE(timeIsUp());
    nodeCount = 1001;
    EXPECT_TRUE(timeIsUp());
    limitFlags = LIMIT_INFINITE;
    EXPECT_FALSE(timeIsUp());
    // Clock play never cuts the first two iterations, even with no time at all.
    limitFlags = LIMIT_CLOCK;
    startTime = 0;
    targetTime = hardTime = 0;
    iterationDepth = 2 * 256;
    EXPECT_FALSE(timeIsUp());
    iterationDepth = 3 * 256;
    EXPECT_TRUE(timeIsUp());
    SearchState = STATE_IDLE;
    EXPECT_TRUE(timeIsUp());
}

} // namespace

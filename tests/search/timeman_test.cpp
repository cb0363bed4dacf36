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
        targetTime = hardTime = 0;
    }
    void TearDown() override { SearchState = STATE_IDLE; }
};

TEST_F(TimeBudget, BudgetsFromTheLimits) {
    constexpr std::uint32_t CLOCK = LIMIT_CLOCK, INC = LIMIT_INC, MTG = LIMIT_MOVESTOGO;
    struct Case {
        std::uint32_t flags;
        std::int32_t time[2], inc[2], movestogo, movetime;
        std::int32_t side;
        std::uint32_t fifty;
        std::uint8_t state;
        std::uint64_t target, hard; // hard 777 = left alone
    } cases[] = {
        // A 24th of the clock less the lag margin; the hard limit twice that.
        {CLOCK, {60000, 60000}, {0, 0}, 0, 0, WHITE_SIDE, 0, STATE_THINKING, 2490, 4980},
        // One move to the time control: half the clock, doubled; movestogo 0 spends it all.
        {CLOCK | INC | MTG, {3000, 0}, {0, 0}, 1, 0, WHITE_SIDE, 0, STATE_THINKING, 2980, 2980},
        {CLOCK | INC | MTG, {3000, 0}, {0, 0}, 0, 0, WHITE_SIDE, 0, STATE_THINKING, 5980, 5980},
        // The searching side's clock and increment count.
        {CLOCK | INC, {60000, 24000}, {0, 500}, 0, 0, BLACK_SIDE, 0, STATE_THINKING, 1490, 2980},
        // Short sudden-death budgets shrink, more so late in a quiet phase; not with moves to go.
        {INC, {0, 0}, {160, 0}, 0, 0, WHITE_SIDE, 0, STATE_THINKING, 105, 210},
        {INC, {0, 0}, {160, 0}, 0, 0, WHITE_SIDE, 51, STATE_THINKING, 73, 146},
        {INC, {0, 0}, {160, 0}, 0, 0, WHITE_SIDE, 30, STATE_THINKING, 94, 188},
        {INC | MTG, {0, 0}, {160, 0}, 30, 0, WHITE_SIDE, 0, STATE_THINKING, 150, 300},
        // A negative clock counts as an empty one.
        {CLOCK | INC, {-5000, 0}, {0, 0}, 0, 0, WHITE_SIDE, 0, STATE_THINKING, 0, 0},
        // Move time: less the lag margin, the hard limit untouched.
        {LIMIT_MOVETIME, {0, 0}, {0, 0}, 0, 1000, WHITE_SIDE, 0, STATE_THINKING, 990, 777},
        {LIMIT_MOVETIME, {0, 0}, {0, 0}, 0, 5, WHITE_SIDE, 0, STATE_THINKING, 0, 777},
        // Infinite, depth and node searches and pondering leave the budget alone.
        {LIMIT_INFINITE, {1000, 1000}, {0, 0}, 0, 0, WHITE_SIDE, 0, STATE_THINKING, 777, 777},
        {LIMIT_DEPTH | CLOCK, {1000, 1000}, {0, 0}, 0, 0, WHITE_SIDE, 0, STATE_THINKING, 777, 777},
        {LIMIT_NODES, {1000, 1000}, {0, 0}, 0, 0, WHITE_SIDE, 0, STATE_THINKING, 777, 777},
        {CLOCK, {1000, 1000}, {0, 0}, 0, 0, WHITE_SIDE, 0, STATE_PONDERING, 777, 777},
    };
    for (const Case &c : cases) {
        limitFlags = c.flags;
        SearchLimits.time[0] = c.time[0], SearchLimits.time[1] = c.time[1];
        SearchLimits.inc[0] = c.inc[0], SearchLimits.inc[1] = c.inc[1];
        SearchLimits.movestogo = c.movestogo;
        SearchLimits.movetime = c.movetime;
        engineSide = c.side;
        SearchState = c.state;
        targetTime = hardTime = 777;
        computeTimeBudget(c.fifty);
        EXPECT_EQ(targetTime, c.target) << "case " << (&c - cases);
        EXPECT_EQ(hardTime, c.hard) << "case " << (&c - cases);
    }
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

#include "base/clock.h"
#include "position/fen.h"
#include "search/context.h"
#include "search/search.h"
#include "search/strength.h"
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
        setSearchState(STATE_THINKING);
        Shared.limits = {};
        Shared.limits.lagMargin = 10;
        Shared.engineSide = WHITE_SIDE;
        Shared.targetTime = Shared.hardTime = 0;
    }
    void TearDown() override { setSearchState(STATE_IDLE); }
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
        Shared.limitFlags = c.flags;
        Shared.limits.time[0] = c.time[0], Shared.limits.time[1] = c.time[1];
        Shared.limits.inc[0] = c.inc[0], Shared.limits.inc[1] = c.inc[1];
        Shared.limits.movestogo = c.movestogo;
        Shared.limits.movetime = c.movetime;
        Shared.engineSide = c.side;
        setSearchState(c.state);
        Shared.targetTime = Shared.hardTime = 777;
        computeTimeBudget(c.fifty);
        EXPECT_EQ(Shared.targetTime, c.target) << "case " << (&c - cases);
        EXPECT_EQ(Shared.hardTime, c.hard) << "case " << (&c - cases);
    }
}

// Where each limit stops a search: at a counted node (the depth and node limits end even an
// infinite search), at the clock check, and before a new iteration.
TEST_F(TimeBudget, LimitsStopWhereTheyApply) {
    SearchThread &main = mainThread();
    struct Case {
        const char *what;
        std::uint32_t flags;
        int iterationPlies;
        std::uint64_t nodes;
        std::uint64_t elapsed;
        bool failedLow, scoreKnown;
        bool atNode, atClock, beforeIteration;
    } cases[] = {
        {"depth 4 running", LIMIT_DEPTH, 4, 0, 0, false, true, false, false, false},
        {"depth 4 passed", LIMIT_DEPTH, 5, 0, 0, false, true, true, true, true},
        {"nodes reached", LIMIT_NODES, 5, 1000, 0, false, true, true, false, false},
        {"nodes passed", LIMIT_NODES, 5, 1001, 0, false, true, true, true, true},
        {"infinite, depth passed", LIMIT_INFINITE | LIMIT_DEPTH, 5, 0, 0, false, true, true, false, false},
        {"infinite", LIMIT_INFINITE, 30, 1u << 30, 1u << 30, false, true, false, false, false},
        {"move time left", LIMIT_MOVETIME, 9, 0, 500, false, true, false, false, false},
        {"move time used", LIMIT_MOVETIME, 9, 0, 1500, false, true, false, true, true},
        // Clock play never cuts the first two iterations, even with no time at all.
        {"clock, second iteration", LIMIT_CLOCK, 2, 0, 1u << 30, false, true, false, false, false},
        {"clock, time left", LIMIT_CLOCK, 3, 0, 400, false, true, false, false, false},
        // Past half the budget no iteration starts; an unsettled root may run to the hard limit.
        {"clock, half used", LIMIT_CLOCK, 3, 0, 600, false, true, false, false, true},
        {"clock, budget used", LIMIT_CLOCK, 3, 0, 1500, false, true, false, true, true},
        {"clock, failed low", LIMIT_CLOCK, 3, 0, 1500, true, true, false, false, true},
        {"clock, no score yet", LIMIT_CLOCK, 3, 0, 1500, false, false, false, false, true},
        {"clock, hard limit", LIMIT_CLOCK, 3, 0, 3500, true, false, false, true, true},
    };
    for (const Case &c : cases) {
        Shared.limitFlags = c.flags;
        Shared.limits.depth = 4;
        Shared.limits.nodes = 1000;
        Shared.nodeLimit = c.flags & LIMIT_NODES ? 1000 : 0;
        Shared.targetTime = 1000;
        Shared.hardTime = 3000;
        Shared.startTime = base::GetTimeMs() - c.elapsed;
        main.iterationDepth = position::plies(c.iterationPlies);
        main.nodeCount = c.nodes;
        main.rootFailedLow = c.failedLow;
        main.rootScoreKnown = c.scoreKnown;
        EXPECT_EQ(limitReached(LimitCheck::NODE), c.atNode) << c.what;
        EXPECT_EQ(limitReached(LimitCheck::CLOCK), c.atClock) << c.what;
        EXPECT_EQ(limitReached(LimitCheck::ITERATION), c.beforeIteration) << c.what;
    }
    Shared.nodeLimit = 0;
    setSearchState(STATE_IDLE);
    for (LimitCheck at : {LimitCheck::NODE, LimitCheck::CLOCK, LimitCheck::ITERATION})
        EXPECT_TRUE(limitReached(at)); // a stopped search stops everywhere
    main.nodeCount = 0;
    main.iterationDepth = 0;
}

// The poll ends the search at a reached limit, but not at a node exempt from the limits.
TEST_F(TimeBudget, PollStopsAtALimitUnlessExempt) {
    SearchThread &main = mainThread();
    Shared.limitFlags = LIMIT_DEPTH;
    Shared.limits.depth = 4;
    main.nodeCount = 1; // not a node that reads input
    main.iterationDepth = position::plies(4);
    EXPECT_FALSE(pollSearch(false));
    main.iterationDepth = position::plies(5);
    EXPECT_FALSE(pollSearch(true));
    EXPECT_FALSE(searchIdle());
    EXPECT_TRUE(pollSearch(false));
    EXPECT_TRUE(searchIdle());
    EXPECT_TRUE(pollSearch(true)); // once stopped, every poll says stop
    main.nodeCount = 0;
    main.iterationDepth = 0;
}

} // namespace

// "Time handicap" scales the clock and move-time budgets; 100 leaves them as they are.
TEST_F(TimeBudget, TimeHandicapScalesTheBudget) {
    struct Case {
        std::uint32_t flags;
        int percent;
        std::uint64_t target, hard;
    } cases[] = {
        {LIMIT_CLOCK, 100, 2490, 4980},
        {LIMIT_CLOCK, 50, 1245, 2490},
        {LIMIT_CLOCK, 0, 0, 0},
        {LIMIT_MOVETIME, 30, 297, 777},
    };
    for (const Case &c : cases) {
        Shared.limitFlags = c.flags;
        Shared.limits.time[0] = 60000;
        Shared.limits.movetime = 1000;
        Shared.limit.timePercent = c.percent;
        Shared.targetTime = Shared.hardTime = 777;
        computeTimeBudget(0);
        EXPECT_EQ(Shared.targetTime, c.target) << c.percent;
        EXPECT_EQ(Shared.hardTime, c.hard) << c.percent;
    }
    Shared.limit = {};
}

// Stronger settings search faster and choose the best line more often; the top is no limit.
TEST(StrengthLimit, SettingsGrowStrongerWithTheRating) {
    StrengthLimit previous = strengthForElo(LIMIT_ELO_MIN);
    EXPECT_GT(previous.npsCeiling, 0);
    EXPECT_GT(previous.chancePermille, 0);
    for (int elo = LIMIT_ELO_MIN + 25; elo < LIMIT_ELO_MAX; elo += 25) {
        StrengthLimit s = strengthForElo(elo);
        EXPECT_GE(s.npsCeiling, previous.npsCeiling) << elo;
        EXPECT_GE(s.depthCeiling, previous.depthCeiling) << elo;
        EXPECT_LE(s.chancePermille, previous.chancePermille) << elo;
        EXPECT_LE(s.marginCp, previous.marginCp) << elo;
        previous = s;
    }
    StrengthLimit full = strengthForElo(LIMIT_ELO_MAX);
    EXPECT_EQ(full.npsCeiling, 0);
    EXPECT_EQ(full.depthCeiling, 0);
    EXPECT_EQ(full.lines, 1);
    // The "NPS" option caps the rate on its own and lowers a rating's ceiling, never raises it.
    EXPECT_EQ(combinedLimit(false, 1500, 50000, 100).npsCeiling, 50000);
    EXPECT_EQ(combinedLimit(true, LIMIT_ELO_MIN, 1 << 30, 100).npsCeiling, strengthForElo(LIMIT_ELO_MIN).npsCeiling);
    EXPECT_EQ(combinedLimit(false, 1500, 0, 100).lines, 1);
}

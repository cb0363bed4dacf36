#include "helpers.h"

#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/depth_driver.h"
#include "search/picker.h"
#include "search/settings.h"
#include "search/thread.h"
#include "search/tt.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace position;
using namespace search;

namespace {

struct SearchTest : ::testing::Test {
    void SetUp() override {
        searchtest::init();
        Settings = SearchSettings{};
        Settings.hashMb = 8;
        allocateHash();
        Shared.engineSide = NO_SIDE;
    }
    void TearDown() override { Shared.engineSide = NO_SIDE; }
};

} // namespace

TEST_F(SearchTest, FindsForcedMatesAtTheMatchingDepth) {
    auto mates = testsupport::readDataFile("mates.epd");
    ASSERT_GE(mates.size(), 20u);
    for (const auto &r : mates) {
        int n = std::stoi(r.fields.at(1));
        clearHash();
        DepthResult result = searchToDepth(searchtest::fromFen(r.fen.c_str()), 2 * n - 1);
        EXPECT_EQ(result.score, MATE - (2 * n - 1)) << r.fen;
        // The move played must itself lead to the mate: the reply is mated one move sooner.
        Position child = searchtest::fromFen(r.fen.c_str());
        PieceType captured;
        MakeMove(child, result.bestMove, captured);
        clearHash();
        DepthResult reply = searchToDepth(child, 2 * n - 2);
        EXPECT_EQ(reply.score, -(MATE - (2 * n - 2))) << r.fen;
    }
}

TEST_F(SearchTest, FindsTheWinningMove) {
    auto tactics = testsupport::readDataFile("tactics.epd");
    ASSERT_GE(tactics.size(), 20u);
    for (const auto &r : tactics) {
        clearHash();
        DepthResult result = searchToDepth(searchtest::fromFen(r.fen.c_str()), 6);
        EXPECT_EQ(moveText(result.bestMove), r.fields.at(1)) << r.fen;
    }
}

TEST_F(SearchTest, StoppedSearchLeavesNothingHalfDone) {
    const char *fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
    Position root = searchtest::fromFen(fen);
    clearHash();
    resetHistory();
    clearKillers(*Threads[0]);
    DepthResult fresh = searchToDepth(root, 6);

    clearHash();
    resetHistory();
    clearKillers(*Threads[0]);
    DepthResult stopped = searchToDepth(root, 6, 3000);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.nodes, 3000u);
    // The thread's board is the root again and the next search agrees with the fresh one.
    EXPECT_EQ(Threads[0]->position.key, root.key);
    DepthResult again = searchToDepth(root, 6);
    EXPECT_FALSE(again.stopped);
    EXPECT_EQ(again.bestMove, fresh.bestMove);
    EXPECT_EQ(again.score, fresh.score);
}

TEST_F(SearchTest, RepetitionsOfTheGameCount) {
    // White is a queen down; Kb1 repeats a position of the game, which is a draw.
    Position root = searchtest::fromFen("8/8/8/3k3P/8/8/7q/K7 w - - 0 1");
    clearHash();
    DepthResult lost = searchToDepth(root, 5);
    EXPECT_LT(lost.score, -500);
    Move kb1 = searchtest::mv("a1b1");
    root.keyHistory[0] = KeyAfterMove(root, kb1) ^ BLACK;
    root.keyHistory[1] = root.key ^ WHITE;
    root.historyCount = 2;
    clearHash();
    DepthResult saved = searchToDepth(root, 5);
    EXPECT_EQ(saved.bestMove, kb1);
    EXPECT_EQ(saved.score, 0);

    // A long game history is trimmed to leave room for the search line; recent positions still count.
    for (std::uint32_t i = 0; i < 248; ++i)
        root.keyHistory[i] = 0x9E3779B97F4A7C15ULL * (i + 1);
    root.keyHistory[248] = KeyAfterMove(root, kb1) ^ BLACK;
    root.keyHistory[249] = root.key ^ WHITE;
    root.historyCount = 250;
    clearHash();
    DepthResult trimmed = searchToDepth(root, 5);
    EXPECT_EQ(trimmed.bestMove, kb1);
    EXPECT_EQ(trimmed.score, 0);
}

#include "helpers.h"

#include "eval/tables.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/draw.h"
#include "search/picker.h"
#include "search/search_internal.h"
#include "search/settings.h"
#include "search/thread.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

using namespace position;
using namespace search;
using searchtest::mv;

namespace {

constexpr int PLY = 3;
// White: Ke1 Qd1 Nc3; Black: Ke8 Rd7 Pd5. Nc3xd5 wins (the queen backs it up), Qd1xd5 loses.
constexpr const char *FEN = "4k3/3r4/8/3p4/8/2N5/8/3QK3 w - - 0 1";

struct PickerTest : ::testing::Test {
    Position pos{};
    std::vector<MoveEntry> list = std::vector<MoveEntry>(MAX_MOVES * 2);
    SearchFrame frame{};
    SearchThread *thread = nullptr;
    struct Pick {
        Move move;
        int stage;
        bool operator==(const Pick &) const = default;
    };

    void SetUp() override {
        searchtest::init();
        thread = Threads[0];
        clearKillers(*thread);
        thread->ply = PLY;
        resetHistory();
        thread->historyOrdering = true;
        Settings.nullMove = true;
        pos = searchtest::fromFen(FEN);
    }
    void TearDown() override {
        thread->ply = -1;
        thread->historyOrdering = false;
    }
    // The scout node's set-up before the first pick (hash move first, nothing generated).
    void prepare(Move hash, int beta = 30001, int depth = 512) {
        frame = SearchFrame{};
        frame.moves = list.data();
        frame.moveCount = NOT_GENERATED;
        frame.bestMove = hash;
        frame.beta = beta;
        frame.depth = depth;
        frame.moveIndex = -1;
        frame.stage = 0;
        if (hash) frame.moves[0] = makeEntry(hash, 0);
        frame.readyEnd = hash ? 1 : 0;
    }
    std::vector<Pick> pickAll() {
        std::vector<Pick> picks;
        while (nextMove(*thread, pos, frame, futilityMargin))
            picks.push_back({frame.currentMove, frame.stage});
        return picks;
    }
};

} // namespace

TEST_F(PickerTest, StagesComeInOrder) {
    thread->killers[PLY][0] = mv("d1d3");
    thread->killers[PLY][1] = mv("c3b5");
    thread->history[historyIndex(moveFrom(mv("d1h5")), moveTo(mv("d1h5")))] = 500;
    prepare(mv("e1f2"));
    std::vector<Pick> picks = pickAll();
    ASSERT_EQ(picks.size(), 25u);
    std::set<Move> distinct;
    for (const Pick &p : picks)
        distinct.insert(p.move);
    EXPECT_EQ(distinct.size(), 25u);
    EXPECT_EQ(std::vector<Pick>(picks.begin(), picks.begin() + 5),
              (std::vector<Pick>{{mv("e1f2"), STAGE_HASH},
                                 {mv("c3d5"), STAGE_CAPTURES},
                                 {mv("d1d3"), STAGE_KILLERS},
                                 {mv("c3b5"), STAGE_KILLERS},
                                 {mv("d1h5"), STAGE_QUIET}}));
    EXPECT_EQ(picks.back().move, mv("d1d5")); // the losing capture comes last
    EXPECT_EQ(frame.futile, 0);               // beta - 1 is a mate score: no futility
}

TEST_F(PickerTest, KillerRules) {
    // A killer that loses material waits for the last stage; a killer equal to the hash move is
    // searched once, as the hash move.
    thread->killers[PLY][0] = mv("c3e4");
    thread->killers[PLY][1] = mv("e1f2");
    prepare(mv("e1f2"));
    std::vector<Pick> picks = pickAll();
    ASSERT_EQ(picks.size(), 25u);
    for (const Pick &p : picks) {
        int expected = p.move == mv("c3e4") ? STAGE_QUIET : p.move == mv("e1f2") ? STAGE_HASH : p.stage;
        EXPECT_EQ(p.stage, expected) << moveText(p.move);
        EXPECT_NE(p.stage, STAGE_KILLERS);
    }
}

TEST_F(PickerTest, ThreatEscapesNeedTheNullMoveOption) {
    for (bool nullMove : {true, false}) {
        Settings.nullMove = nullMove;
        prepare(NO_MOVE);
        frame.threatMove = makeMove(textToSquare('d', '5'), textToSquare('c', '3')); // the knight is attacked
        std::vector<Pick> picks = pickAll();
        int escapes = 0;
        for (const Pick &p : picks)
            if (p.stage == STAGE_KILLERS) {
                EXPECT_EQ(moveFrom(p.move), textToSquare('c', '3'));
                ++escapes;
            }
        // Knight moves that lose nothing: a2, a4, b1, b5, e2 (e4 is attacked by the pawn).
        EXPECT_EQ(escapes, nullMove ? 5 : 0);
    }
}

TEST_F(PickerTest, EvasionsAreNotGeneratedAgain) {
    pos = searchtest::fromFen("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1"); // the rook on e2 checks
    prepare(NO_MOVE);
    frame.moveCount = GenerateEvasions(pos, frame.moves);
    int evasions = frame.moveCount;
    std::vector<Pick> picks = pickAll();
    EXPECT_EQ(int(picks.size()), evasions);
    // Futility is not decided at 5 plies or more.
    prepare(NO_MOVE, 0, 1280);
    pickAll();
    EXPECT_EQ(frame.futile, 0);
}

TEST(DrawScore, ContemptForTheEngineSide) {
    searchtest::init();
    Position pos = searchtest::fromFen("r3k3/8/8/8/8/8/8/Q2RK3 w - - 0 1"); // White 1475, Black 500
    Settings.contempt = 10;
    Shared.engineSide = WHITE;
    EXPECT_EQ(drawScore(pos, WHITE), -10);
    EXPECT_EQ(drawScore(pos, BLACK), 0); // Black has too little material to mind a draw
    Shared.engineSide = BLACK;
    EXPECT_EQ(drawScore(pos, WHITE), 10);
    Shared.engineSide = NO_SIDE;
    EXPECT_EQ(drawScore(pos, WHITE), 0);
}

// The branch-free scan must pick exactly what a plain first-maximum scan picks, ties and
// negative scores included, since the order of equal moves shapes the tree.
TEST(SelectBest, MatchesAPlainScan) {
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 200; ++round) {
        int count = 1 + int(next() % 60);
        std::vector<MoveEntry> fast(count), plain(count);
        for (int i = 0; i < count; ++i) {
            int score = round % 2 ? int(next() % 5) - 2 : int(next() % 65536) - 32768; // ties, extremes
            fast[i] = plain[i] = makeEntry(Move(next() & 0xFFFF), score);
        }
        for (int from = 0; from < count; ++from) {
            int best = from;
            for (int i = from + 1; i < count; ++i)
                if (entryScore(plain[i]) > entryScore(plain[best])) best = i;
            std::swap(plain[best], plain[from]);
            ASSERT_EQ(selectBest(fast.data(), from, count), plain[from]) << "round " << round;
        }
        ASSERT_EQ(fast, plain);
    }
}

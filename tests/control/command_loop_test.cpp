#include "base/clock.h"
#include "control/dispatch.h"
#include "control/input.h"
#include "control/options.h"
#include "control/output.h"
#include "control/setup.h"
#include "control/xboard.h"
#include "position/fen.h"
#include "position/notation.h"
#include "search/context.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace base;
using namespace control;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

class CommandLoop : public testing::Test {
  protected:
    void SetUp() override {
        testsupport::initOnce();
        resetInput();
        search::setSearchState(search::STATE_IDLE);
        setProtocolMode(MODE_NONE);
    }
    void TearDown() override {
        search::setSearchState(search::STATE_IDLE);
        setProtocolMode(MODE_NONE);
        resetInput();
    }
    static void setPending(std::string_view text) {
        std::memcpy(PendingInput, text.data(), text.size());
        PendingLength = text.size();
        PendingInput[PendingLength] = '\0';
    }
    static std::string nextLine() {
        static char line[PENDING_INPUT_SIZE];
        std::size_t length = 0;
        if (!takePendingLine(line, sizeof line, length)) return "<none>";
        return std::string(line, length);
    }
    static std::string dispatch(std::string_view line) {
        CaptureStdout();
        dispatchLine(line);
        return GetCapturedStdout();
    }
};

} // namespace

// Pending lines come out in order without their line ends; a command that stops a search is
// requeued before the input that followed it, even into a full buffer.
TEST_F(CommandLoop, PendingLinesAndRequeuedCommands) {
    setPending(std::string("uci\r\nis\0ready\npartial", 21));
    EXPECT_EQ(nextLine(), "uci");
    EXPECT_EQ(nextLine(), std::string("is\0ready", 8));
    EXPECT_EQ(nextLine(), "<none>"); // the last line is not complete yet
    EXPECT_EQ(std::string(PendingInput, PendingLength), "partial");

    // Commands that change the game or start a search stop a running one and wait for it.
    setPending("go depth 5\nisready\n");
    struct Requeued {
        int mode;
        const char *line;
    } requeued[] = {{MODE_UCI, "position startpos moves e2e4"},
                    {MODE_UCI, "ucinewgame"},
                    {MODE_XBOARD, "new"},
                    {MODE_XBOARD, "setboard 8/8/8/8/8/8/8/K6k w - - 0 1"},
                    {MODE_NONE, "bench 3"}};
    for (const Requeued &r : requeued) {
        setProtocolMode(r.mode);
        search::setSearchState(search::STATE_PONDERING);
        EXPECT_EQ(dispatch(r.line), "");
        EXPECT_EQ(search::searchState(), search::STATE_IDLE) << r.line;
    }
    for (const char *line : {"bench 3", "setboard 8/8/8/8/8/8/8/K6k w - - 0 1", "new", "ucinewgame",
                             "position startpos moves e2e4", "go depth 5", "isready", "<none>"})
        EXPECT_EQ(nextLine(), line);

    std::string filler(PENDING_INPUT_SIZE - 10, 'x');
    filler.back() = '\n';
    setPending(filler);
    requeueLine("stop");
    EXPECT_EQ(nextLine(), "stop");
    EXPECT_LE(PendingLength, PENDING_INPUT_SIZE - 1);
}

// Unknown words in each mode are covered through the binary; here what "stop", "isready",
// "force" and the xboard switches do to the search state, the output slots and the options.
TEST_F(CommandLoop, StopIsreadyForceAndXboardSwitches) {
    setProtocolMode(MODE_UCI);
    search::setSearchState(search::STATE_THINKING);
    appendInfoText("info depth 1\n");
    setCurrMoveText("info currmove e2e4\n");
    EXPECT_EQ(dispatch("stop"), "");
    EXPECT_EQ(search::searchState(), search::STATE_IDLE);
    EXPECT_TRUE(outputSlotsEmpty());
    search::setSearchState(search::STATE_THINKING);
    appendInfoText("info depth 2\n");
    EXPECT_EQ(dispatch("isready"), "readyok\n");
    EXPECT_EQ(search::searchState(), search::STATE_IDLE);
    EXPECT_FALSE(outputSlotsEmpty()); // isready keeps what the search still has to say

    setProtocolMode(MODE_XBOARD);
    EXPECT_EQ(dispatch(std::string_view("bad\0word rest", 13)), "Error (unknown command): bad\n");
    struct Switch {
        const char *word;
        OptionId option;
        bool on;
    } switches[] = {{"hard", OPTION_PONDER, true},
                    {"easy", OPTION_PONDER, false},
                    {"post", OPTION_XBOARD_POST, true},
                    {"nopost", OPTION_XBOARD_POST, false}};
    for (const Switch &w : switches) {
        EXPECT_EQ(dispatch(w.word), "") << w.word;
        EXPECT_EQ(optionBool(w.option), w.on) << w.word;
    }
    search::setSearchState(search::STATE_THINKING);
    appendInfoText("1 20 0 100 e2e4\n");
    EXPECT_EQ(dispatch("force"), "");
    EXPECT_TRUE(optionBool(OPTION_XBOARD_FORCE));
    EXPECT_EQ(search::searchState(), search::STATE_IDLE);
    EXPECT_TRUE(outputSlotsEmpty());
    // A move while thinking is ignored: the interface should not move now.
    search::setSearchState(search::STATE_THINKING);
    EXPECT_EQ(dispatch("e2e4"), "");
    EXPECT_EQ(search::searchState(), search::STATE_THINKING);
}

TEST_F(CommandLoop, FlushPrintsTheSlotsInOrderWhenForcedOrAfterTheBufferTime) {
    appendInfoText("info depth 1\n");
    appendInfoText("info depth 2\n");
    setCurrLineText("info currline e2e4\n");
    setCurrMoveText("info currmove d2d4\n");
    setCurrMoveText("info currmove e2e4\n");
    setHashFullText("info hashfull 10\n");
    CaptureStdout();
    FlushOutput(true);
    EXPECT_EQ(GetCapturedStdout(),
              "info depth 1\ninfo depth 2\ninfo currline e2e4\ninfo currmove e2e4\ninfo hashfull 10\n");
    EXPECT_TRUE(outputSlotsEmpty());

    // During a search the "Buffer" interval decides.
    search::setSearchState(search::STATE_THINKING);
    setOptionValue(OPTION_BUFFER, "1000000");
    appendInfoText("info depth 3\n");
    CaptureStdout();
    FlushOutput(false);
    EXPECT_EQ(GetCapturedStdout(), "");
    setOptionValue(OPTION_BUFFER, "0");
    CaptureStdout();
    FlushOutput(false);
    EXPECT_EQ(GetCapturedStdout(), "info depth 3\n");
    setOptionValue(OPTION_BUFFER, "300");
}

TEST_F(CommandLoop, ProcessTimeSwitchesTheClock) {
    std::uint64_t wall = GetTimeMs();
    storeOptionValue(OPTION_PROCESS_TIME, 1);
    std::uint64_t cpu = GetTimeMs();
    storeOptionValue(OPTION_PROCESS_TIME, 0);
    EXPECT_LT(cpu, wall / 2); // this process has not run for decades
    EXPECT_GE(GetTimeMs(), wall);
}

TEST_F(CommandLoop, TimeControlWordsSetTheLimits) {
    using namespace search;
    struct Case {
        const char *line;
        std::uint32_t flags;
        std::int32_t clock, inc, movestogo;
    } cases[] = {
        {"level 40 5 0", LIMIT_CLOCK | LIMIT_MOVESTOGO, 300000, 0, 40},
        {"level 0 2:30 5", LIMIT_CLOCK | LIMIT_INC, 150000, 5000, 0},
        {"level 0 0:10 0.1", LIMIT_CLOCK | LIMIT_INC, 10000, 100, 0},
        {"level 0 1 2.25", LIMIT_CLOCK | LIMIT_INC, 60000, 2250, 0},
    };
    for (int mode : {MODE_NONE, MODE_XBOARD}) { // the time words also work at the console
        setProtocolMode(mode);
        for (const Case &c : cases) {
            Shared.limitFlags = 0;
            dispatch(c.line);
            EXPECT_EQ(Shared.limitFlags, c.flags) << c.line;
            EXPECT_EQ(Shared.limits.time[0], c.clock) << c.line;
            EXPECT_EQ(Shared.limits.time[1], c.clock) << c.line;
            EXPECT_EQ(Shared.limits.inc[1], c.inc) << c.line;
            EXPECT_EQ(Shared.limits.movestogo, c.movestogo) << c.line;
        }
        dispatch("st 10");
        dispatch("sd 7");
        EXPECT_EQ(Shared.limits.movetime, 10000);
        EXPECT_EQ(Shared.limits.depth, 7);
        EXPECT_EQ(Shared.limitFlags,
                  LIMIT_CLOCK | LIMIT_INC | LIMIT_MOVETIME | LIMIT_DEPTH); // only ever added
        dispatch("time 12345");
        dispatch("otim 77");
        EXPECT_EQ(Clocks.engine, 123450);
        EXPECT_EQ(Clocks.opponent, 770);
    }
    dispatch("nps 5000");
    EXPECT_EQ(Shared.limits.nodes, 5000);
    EXPECT_TRUE(optionBool(OPTION_PROCESS_TIME));
    EXPECT_EQ(Shared.limitFlags & LIMIT_NODES, 0u);
    dispatch("new"); // a new game drops the move time and depth limits
    EXPECT_EQ(Shared.limitFlags, LIMIT_CLOCK);
    EXPECT_FALSE(optionBool(OPTION_PROCESS_TIME));
    Shared.limitFlags = 0;
}

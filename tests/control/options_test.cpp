#include "control/options.h"
#include "control/startup.h"
#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace base;
using namespace control;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

int HandlerCalls[OPTION_COUNT];
void countCall(int index) { ++HandlerCalls[index]; }

const std::string OUT_OF_BOUND = "info string ERROR: Value Out of Bound!\n";
const std::string INVALID = "info string ERROR: Invalid Value!\n";
const std::string UNKNOWN = "info string ERROR: Unknown Option!\n";

class OptionTable : public testing::Test {
  protected:
    void SetUp() override {
        testsupport::initOnce();
        CaptureStdout();
        applyOptionDefaults();
        GetCapturedStdout();
        std::fill(std::begin(HandlerCalls), std::end(HandlerCalls), 0);
    }
    // The output of one command.
    static std::string run(const std::string &line) {
        CaptureStdout();
        handleSetOption(line);
        return GetCapturedStdout();
    }
    // Each command's output and the option's value after it.
    struct Step {
        const char *line;
        std::string out;
        OptionId option;
        std::int64_t value;
    };
    static void runSteps(std::initializer_list<Step> steps) {
        for (const Step &s : steps) {
            EXPECT_EQ(run(s.line), s.out) << s.line;
            EXPECT_EQ(Options[s.option].value, s.value) << s.line;
        }
    }
};

} // namespace

TEST_F(OptionTable, SpinValuesAreBoundedAndHandlersRunOnlyOnChange) {
    EXPECT_EQ(findOption("INIFILEPATH"), OPTION_INIFILEPATH);
    EXPECT_EQ(findOption("Hash "), -1);
    ASSERT_TRUE(registerOptionHandler("hash", countCall));
    EXPECT_FALSE(registerOptionHandler("No Such Option", countCall));
    runSteps({{"setoption name Hash value 0", OUT_OF_BOUND, OPTION_HASH, 128},
              {"setoption name Hash value 65537", OUT_OF_BOUND, OPTION_HASH, 128},
              {"setoption name Hash value 128", "", OPTION_HASH, 128}}); // unchanged: no reallocation
    EXPECT_EQ(HandlerCalls[OPTION_HASH], 0);
    runSteps({{"setoption name HASH VALUE 64", "", OPTION_HASH, 64},
              {"setoption name Hash value 32MB", "", OPTION_HASH, 32}, // the leading number counts
              {"setoption name Threads value 513", OUT_OF_BOUND, OPTION_THREADS, 1},
              {"setoption name Contempt value -100", "", OPTION_CONTEMPT, -100},
              {"setoption name NPS value 99999999999", "", OPTION_NPS, 2147483647}, // saturates
              {"setoption name Buffer value x", "", OPTION_BUFFER, 0}});            // no number reads as 0
    EXPECT_EQ(HandlerCalls[OPTION_HASH], 2);
    // A reset runs the handler whether or not the value changes.
    resetOptionGroup(GROUP_UCI);
    EXPECT_EQ(HandlerCalls[OPTION_HASH], 3);
    EXPECT_EQ(optionInt(OPTION_HASH), 128);
    registerOptionHandler("Hash", nullptr);
}

// Check values: "on" or "true" anywhere, case-sensitive, "1" tested before "0".
TEST_F(OptionTable, CheckWordsAreMatchedCaseSensitivelyAnywhere) {
    runSteps({{"setoption name Ponder value off", "", OPTION_PONDER, 0},
              {"setoption name Ponder value On", INVALID, OPTION_PONDER, 0},
              {"setoption name Ponder value none", "", OPTION_PONDER, 1},
              {"setoption name ponder value 0", "", OPTION_PONDER, 0},
              {"setoption name Ponder value 10", "", OPTION_PONDER, 1},
              {"setoption name Ponder value ", INVALID, OPTION_PONDER, 1}});
}

TEST_F(OptionTable, PrefixesDecideWhichOptionACommandReaches) {
    runSteps({{"setoption name Debug value on", UNKNOWN, OPTION_DEBUG, 0},
              {"debug", UNKNOWN, OPTION_DEBUG, 0},
              {"setoption name Hash", UNKNOWN, OPTION_HASH, 128},
              {"setoption name Bishop Pair value 50", "", OPTION_BISHOP_PAIR, 50}});
    EXPECT_EQ(optionInt(OPTION_BISHOP), 335);
    EXPECT_EQ(run("setoption name Hashfull value Pawn"), "");
    EXPECT_EQ(hashfullChoice(), 2);
    EXPECT_EQ(run("setoption name Hashfull value Nothing"), "");
    EXPECT_EQ(hashfullChoice(), 2); // no choice named: unchanged
    EXPECT_EQ(optionText(OPTION_HASHFULL), "Nothing");
    ASSERT_TRUE(registerOptionHandler("Clear Hash", countCall));
    EXPECT_EQ(run("setoption name clear hash"), "");
    EXPECT_EQ(run("setoption name Clear Hash value whatever"), "");
    EXPECT_EQ(HandlerCalls[OPTION_CLEAR_HASH], 2);
    registerOptionHandler("Clear Hash", nullptr);
    EXPECT_EQ(run("setoption name OwnBookPath value My Book.vlb"),
              "Cannot open My Book.vlb, a small internal book will be used instead!\n");
    EXPECT_EQ(optionText(OPTION_OWN_BOOK_PATH), "My Book.vlb");
}

// What an INI file may hold is checked at start-up (personality_test.cpp); here the missing file
// and files that name each other, which must not recurse forever.
TEST_F(OptionTable, MissingAndMutuallyNamedIniFiles) {
    testsupport::TempDirectory dir;
    CaptureStdout();
    setOptionValue(OPTION_INIFILEPATH, dir.file("missing.ini"));
    EXPECT_EQ(GetCapturedStdout(), "Cannot open " + dir.file("missing.ini") + "\n");
    dir.write("b.ini", "Inifilepath=" + dir.file("c.ini") + "\n");
    dir.write("c.ini", "MultiPV=7\nInifilepath=" + dir.file("b.ini") + "\n");
    CaptureStdout();
    setOptionValue(OPTION_INIFILEPATH, dir.file("b.ini"));
    GetCapturedStdout();
    EXPECT_EQ(optionInt(OPTION_MULTIPV), 7);
}

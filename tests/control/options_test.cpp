#include "control/inifile.h"
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
};

std::int64_t valueOf(int i) { return base::Options[i].value; }

} // namespace

TEST_F(OptionTable, TableOrderTypesAndDefaults) {
    EXPECT_EQ(findOption("hash"), OPTION_HASH);
    EXPECT_EQ(findOption("INIFILEPATH"), OPTION_INIFILEPATH);
    EXPECT_EQ(findOption("Pawn play"), OPTION_PAWN_PLAY);
    EXPECT_EQ(findOption("Hash "), -1);
    EXPECT_EQ(optionInt(OPTION_HASH), 128);
    EXPECT_EQ(optionInt("Restraint"), 120);
    EXPECT_EQ(optionInt("Contempt"), 10);
    EXPECT_EQ(optionInt("Max depth"), 100);
    EXPECT_TRUE(optionBool("OwnBook"));
    EXPECT_FALSE(optionBool(OPTION_DEBUG));
    EXPECT_EQ(optionText("NalimovPath"), "C:\\EGTB\\");
    EXPECT_EQ(optionText(OPTION_PERSONALITY), "main");
    EXPECT_EQ(optionText("OwnBookPath"), "Book.vlb");
    EXPECT_EQ(base::Options[OPTION_NPS].max, 2147483647);
    EXPECT_EQ(base::Options[OPTION_CONTEMPT].min, -100);
    EXPECT_EQ(hashfullChoice(), 0);
}

TEST_F(OptionTable, SpinValuesAreBoundedAndHandlersRunOnlyOnChange) {
    ASSERT_TRUE(registerOptionHandler("hash", countCall));
    EXPECT_FALSE(registerOptionHandler("No Such Option", countCall));
    EXPECT_EQ(run("setoption name Hash value 0"), "info string ERROR: Value Out of Bound!\n");
    EXPECT_EQ(run("setoption name Hash value 2049"), "info string ERROR: Value Out of Bound!\n");
    EXPECT_EQ(run("setoption name Hash value 128"), ""); // unchanged: no reallocation
    EXPECT_EQ(HandlerCalls[OPTION_HASH], 0);
    EXPECT_EQ(run("setoption name HASH VALUE 64"), "");
    EXPECT_EQ(optionInt(OPTION_HASH), 64);
    EXPECT_EQ(HandlerCalls[OPTION_HASH], 1);
    EXPECT_EQ(run("setoption name Hash value 32MB"), ""); // the leading number counts
    EXPECT_EQ(optionInt(OPTION_HASH), 32);
    EXPECT_EQ(HandlerCalls[OPTION_HASH], 2);
    EXPECT_EQ(run("setoption name Threads value 2"), "info string ERROR: Value Out of Bound!\n");
    EXPECT_EQ(run("setoption name Contempt value -100"), "");
    EXPECT_EQ(optionInt(OPTION_CONTEMPT), -100);
    EXPECT_EQ(run("setoption name NPS value 99999999999"), ""); // saturates to the 32-bit maximum
    EXPECT_EQ(optionInt(OPTION_NPS), 2147483647);
    EXPECT_EQ(run("setoption name Buffer value x"), ""); // no number reads as 0, which is in range
    EXPECT_EQ(optionInt(OPTION_BUFFER), 0);
    // A reset runs the handler whether or not the value changes.
    resetOptionGroup(GROUP_UCI);
    EXPECT_EQ(HandlerCalls[OPTION_HASH], 3);
    EXPECT_EQ(optionInt(OPTION_HASH), 128);
    registerOptionHandler("Hash", nullptr);
}

TEST_F(OptionTable, CheckWordsAreMatchedCaseSensitivelyAnywhere) {
    EXPECT_EQ(run("setoption name Ponder value off"), "");
    EXPECT_FALSE(optionBool(OPTION_PONDER));
    EXPECT_EQ(run("setoption name Ponder value On"), "info string ERROR: Invalid Value!\n");
    EXPECT_FALSE(optionBool(OPTION_PONDER));
    EXPECT_EQ(run("setoption name Ponder value none"), ""); // contains "on"
    EXPECT_TRUE(optionBool(OPTION_PONDER));
    EXPECT_EQ(run("setoption name ponder value 0"), "");
    EXPECT_FALSE(optionBool(OPTION_PONDER));
    EXPECT_EQ(run("setoption name Ponder value 10"), ""); // "1" is tested before "0"
    EXPECT_TRUE(optionBool(OPTION_PONDER));
    EXPECT_EQ(run("setoption name Ponder value "), "info string ERROR: Invalid Value!\n");
    EXPECT_TRUE(optionBool(OPTION_PONDER));
}

TEST_F(OptionTable, PrefixesDecideWhichOptionACommandReaches) {
    EXPECT_EQ(run("setoption name Debug value on"), "info string ERROR: Unknown Option!\n");
    EXPECT_EQ(run("debug"), "info string ERROR: Unknown Option!\n");
    EXPECT_EQ(run("setoption name Hash"), "info string ERROR: Unknown Option!\n");
    EXPECT_EQ(run("setoption name Bishop Pair value 50"), "");
    EXPECT_EQ(optionInt(OPTION_BISHOP_PAIR), 50);
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

TEST_F(OptionTable, AnIniFileChangesOnlyTheOptionsItNames) {
    testsupport::TempDirectory dir;
    dir.write("a.ini", "MultiPV=3\r\n"
                       "[Other]\n"
                       "Hash=16\n"
                       "[Engine]\n"
                       "; my settings\n"
                       "contempt=-5\n"
                       "Bishop Pair=99999\n"
                       "\n"
                       "Nullmove=false");
    std::int64_t before[OPTION_COUNT];
    for (int i = 0; i < OPTION_COUNT; ++i)
        before[i] = valueOf(i);
    CaptureStdout();
    setOptionValue(OPTION_INIFILEPATH, dir.file("a.ini"));
    std::string out = GetCapturedStdout();
    EXPECT_EQ(out, "info string Loading ini file '" + dir.file("a.ini") +
                       "'\n"
                       "info string ERROR: '; my settings' is an unknown Option!\n"
                       "info string ERROR: Value Out of Bound!\n");
    EXPECT_EQ(optionInt(OPTION_MULTIPV), 3);
    EXPECT_EQ(optionInt(OPTION_CONTEMPT), -5);
    EXPECT_FALSE(optionBool(OPTION_NULLMOVE));
    for (int i = 0; i < OPTION_COUNT; ++i) {
        if (i == OPTION_MULTIPV || i == OPTION_CONTEMPT || i == OPTION_NULLMOVE) continue;
        EXPECT_EQ(valueOf(i), before[i]) << i;
    }

    CaptureStdout();
    setOptionValue(OPTION_INIFILEPATH, dir.file("missing.ini"));
    EXPECT_EQ(GetCapturedStdout(), "Cannot open " + dir.file("missing.ini") + "\n");
}

TEST_F(OptionTable, IniFilesThatNameEachOtherDoNotRecurseForever) {
    testsupport::TempDirectory dir;
    dir.write("a.ini", "Inifilepath=" + dir.file("b.ini") + "\n");
    dir.write("b.ini", "MultiPV=7\nInifilepath=" + dir.file("a.ini") + "\n");
    CaptureStdout();
    setOptionValue(OPTION_INIFILEPATH, dir.file("a.ini"));
    GetCapturedStdout();
    EXPECT_EQ(optionInt(OPTION_MULTIPV), 7);
}

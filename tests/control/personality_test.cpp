#include "control/options.h"
#include "control/startup.h"
#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace base;
using namespace control;
using namespace std::string_literals;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

// Runs the option start-up in a directory of INI files, as the engine does in its working
// directory, and returns what it printed.
std::string startupIn(const testsupport::TempDirectory &dir) {
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    CaptureStdout();
    applyOptionDefaults();
    std::string out = GetCapturedStdout();
    std::filesystem::current_path(previous);
    return out;
}

std::string setInDirectory(const testsupport::TempDirectory &dir, OptionId id, const std::string &value) {
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    CaptureStdout();
    setOptionValue(id, value);
    std::string out = GetCapturedStdout();
    std::filesystem::current_path(previous);
    return out;
}

class Personalities : public testing::Test {
  protected:
    void SetUp() override {
        testsupport::initOnce();
        dir.write("personalities/aggressive.ini", "[Engine]\nAggression=150\nKnight=300\n");
        dir.write("personalities/calm.ini", "Caution=180\n");
        dir.write("personalities/default.ini", "Aggression=0\n");
        dir.write("personalities/notes.txt", "not a personality\n");
    }
    void TearDown() override {
        testsupport::TempDirectory empty;
        startupIn(empty); // leave the defaults for the other tests
    }
    testsupport::TempDirectory dir;
};

} // namespace

// Files become choices (except default.ini); a personality changes only what it names, "main"
// restores the group, and default.ini is applied after every group reset.
TEST_F(Personalities, ChoicesLoadingAndDefaultIni) {
    EXPECT_EQ(startupIn(dir), "Illegal Personality Name: default.ini\nCannot open default.ini\n");
    EXPECT_STREQ(Options[OPTION_PERSONALITY].choices, "var main var aggressive var calm");
    setOptionValue(OPTION_CAUTION, "200");
    setOptionValue(OPTION_MULTIPV, "4");
    struct Case {
        const char *name;
        std::string out;
        int aggression, caution, knight;
    } cases[] = {
        {"aggressive", "info string Loading ini file 'personalities/aggressive.ini'\n", 150, 200, 300},
        {"calm", "info string Loading ini file 'personalities/calm.ini'\n", 150, 180, 300},
        {"main", "", 100, 100, 325},
        {"missing", "Cannot open personalities/missing.ini\n", 100, 100, 325}};
    for (const Case &c : cases) {
        EXPECT_EQ(setInDirectory(dir, OPTION_PERSONALITY, c.name), c.out);
        EXPECT_EQ(optionInt(OPTION_AGGRESSION), c.aggression) << c.name;
        EXPECT_EQ(optionInt(OPTION_CAUTION), c.caution) << c.name;
        EXPECT_EQ(optionInt(OPTION_KNIGHT), c.knight) << c.name;
        EXPECT_EQ(optionInt(OPTION_MULTIPV), 4); // not a personality option
    }

    dir.write("default.ini", "Personality=aggressive\nMultiPV=2\nCaution=150\nxboard_post=true\n");
    EXPECT_EQ(startupIn(dir), "Illegal Personality Name: default.ini\n"
                              "info string Loading ini file 'default.ini'\n"
                              "info string Loading ini file 'personalities/aggressive.ini'\n");
    EXPECT_EQ(optionText(OPTION_PERSONALITY), "aggressive");
    EXPECT_EQ(optionInt(OPTION_AGGRESSION), 150);
    EXPECT_EQ(optionInt(OPTION_CAUTION), 150);
    EXPECT_EQ(optionInt(OPTION_MULTIPV), 2);
    EXPECT_TRUE(optionBool(OPTION_XBOARD_POST));
}

// An INI file changes only the options it names, in the [Engine] section or before any section,
// whatever else it holds: comments, other sections, bad values, binary bytes, overlong lines.
TEST_F(Personalities, IniFilesChangeOnlyWhatTheyNameEvenWhenDamaged) {
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 37 + 11) & 0xFF);
    std::string longGarbage(100000, 'z');
    dir.write("default.ini",
              "MultiPV=5\r\n" + binary + "\n" + longGarbage + "\nContempt=7" + std::string(300, 'x') +
                  "\n\0Hash=16\nhash\0=16\n[Other]\nHash=16\n[Engine]\r\nBuffer=1000\r\n; my settings\n"
                  "Bishop Pair=99999\n\nNullmove=off"s);
    std::int64_t defaults[OPTION_COUNT];
    {
        testsupport::TempDirectory empty;
        startupIn(empty);
        for (int i = 0; i < OPTION_COUNT; ++i)
            defaults[i] = Options[i].value;
    }
    std::string out = startupIn(dir);
    for (std::string message : {"'" + longGarbage + "' is an unknown Option!",
                                "'; my settings' is an unknown Option!"s, "Value Out of Bound!"s})
        EXPECT_NE(out.find("info string ERROR: " + message + "\n"), std::string::npos)
            << message.substr(0, 20);
    EXPECT_EQ(optionInt(OPTION_MULTIPV), 5);
    EXPECT_EQ(optionInt(OPTION_CONTEMPT), 7);
    EXPECT_EQ(optionInt(OPTION_BUFFER), 1000);
    EXPECT_FALSE(optionBool(OPTION_NULLMOVE)); // last line without a line end
    for (int i = 0; i < OPTION_COUNT; ++i)
        EXPECT_TRUE(i == OPTION_MULTIPV || i == OPTION_CONTEMPT || i == OPTION_BUFFER ||
                    i == OPTION_NULLMOVE || Options[i].value == defaults[i])
            << Options[i].name;
}

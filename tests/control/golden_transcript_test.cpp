// Golden transcripts: one UCI, one xboard and one console session run through the real binary and
// compared line by line with the transcripts recorded in tests/data/golden/. They pin everything
// the engine prints except what depends on time or speed, so a change that should leave the
// output alone shows the first line it changed.
//
// A session is NAME.script, one step a line:
//   # ...         a comment (blank lines are skipped too)
//   = FILE TEXT   TEXT becomes a line of FILE in the session's fresh directory, written before the
//                 engine starts (default.ini is read at start-up; xboard has no setoption)
//   > LINE        sends LINE
//   < PREFIX      reads the output through the first line that starts with PREFIX
// After the last step the input is closed and the output read to the end: the engine exits at end
// of input. The transcript is the sent lines ("> LINE") and the masked output, in step order.
//
// The output must not depend on timing: searches are limited by depth or nodes, Buffer is 0 (every
// input poll flushes, so the grouping of lines follows node counts), and a search's final line is
// awaited before the next command is sent (a command read during a search changes its output).
// Masked: the build date, UCI "time" and "nps", the seconds and knps of console search lines, the
// centiseconds of xboard thinking lines, bench's Time and NPS, and perft's time column.
//
// VORLAN_GOLDEN_UPDATE=1 writes NAME.expected from the engine as it is instead of comparing.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::startsWith;
using testsupport::TempDirectory;
using Lines = std::vector<std::string>;

namespace {

const std::string GOLDEN_DIRECTORY = std::string(VORLAN_TEST_DATA) + "/golden/";
constexpr int STEP_TIMEOUT_MS = 30000; // a whole search under the sanitizers

Lines readLines(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    Lines lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Replaces the parts of an output line that depend on the clock or the machine's speed.
std::string maskLine(const std::string &line) {
    struct Mask {
        std::regex pattern;
        const char *replacement;
    };
    static const Mask MASKS[] = {
        {std::regex("^Built .*"), "Built <date>"},
        {std::regex("^(info (?!string).*) time \\d+(.*) nps \\d+"), "$1 time <ms>$2 nps <nps>"},
        // "%2d. %5.1f %9u %6.1f % 5d pv": depth, seconds, nodes, knps, score, PV.
        {std::regex("^( ?\\d+\\.) +\\d+\\.\\d( +\\d+) +\\d+\\.\\d( .*)"), "$1 <s>$2 <knps>$3"},
        // "%2u %5d %7u %8u pv": depth, score, centiseconds, nodes, PV.
        {std::regex("^( ?\\d+ +-?\\d+) +\\d+( +\\d+ .*)"), "$1 <cs>$2"},
        {std::regex("^Time:\t.*"), "Time:\t<ms>"},
        {std::regex("^NPS:\t.*"), "NPS:\t<nps>"},
        {std::regex("^(\\d+:\t)\\d+(\t\\d+)$"), "$1<ms>$2"},
    };
    for (const Mask &m : MASKS)
        if (std::regex_search(line, m.pattern)) return std::regex_replace(line, m.pattern, m.replacement);
    return line;
}

struct Session {
    Lines transcript;
    bool complete = true; // false when a step failed: the transcript ends with the failure
};

// Runs the script in a fresh directory.
Session runScript(const Lines &script) {
    TempDirectory dir;
    std::map<std::string, std::string> files;
    for (const std::string &step : script)
        if (startsWith(step, "= ")) {
            std::size_t nameEnd = step.find(' ', 2);
            files[step.substr(2, nameEnd - 2)] +=
                (nameEnd == std::string::npos ? "" : step.substr(nameEnd + 1)) + "\n";
        }
    for (const auto &[name, text] : files)
        dir.write(name, text);

    Session session;
    auto fail = [&](const std::string &what) {
        session.transcript.push_back("<" + what + ">");
        session.complete = false;
        return session;
    };
    EngineProcess engine(dir.path());
    if (!engine.started()) return fail("engine did not start");
    for (const std::string &step : script) {
        if (step.empty() || step[0] == '#' || startsWith(step, "= ")) continue;
        std::string argument = step.size() > 2 ? step.substr(2) : "";
        if (startsWith(step, "> ")) {
            session.transcript.push_back(step);
            if (!engine.send(argument)) return fail("engine no longer reads");
        } else if (startsWith(step, "< ")) {
            for (const std::string &line : engine.readThrough(argument, STEP_TIMEOUT_MS)) {
                if (line == "<timeout>") return fail("no line starting with \"" + argument + "\"");
                session.transcript.push_back(maskLine(line));
            }
        } else {
            return fail("bad script step: " + step);
        }
    }
    engine.closeInput();
    for (const std::string &line : engine.readToEnd(STEP_TIMEOUT_MS))
        session.transcript.push_back(maskLine(line));
    if (engine.waitExit() != 0) return fail("engine did not exit with 0");
    return session;
}

// Empty when the transcripts agree; otherwise where they part, with the last command sent before.
std::string firstDifference(const Lines &expected, const Lines &actual) {
    std::string lastSent = "(none)";
    for (std::size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const std::string *want = i < expected.size() ? &expected[i] : nullptr;
        const std::string *got = i < actual.size() ? &actual[i] : nullptr;
        if (want && got && *want == *got) {
            if (startsWith(*got, "> ")) lastSent = *got;
            continue;
        }
        std::ostringstream s;
        s << "first difference at line " << i + 1 << ", after \"" << lastSent << "\"\n"
          << "  expected: " << (want ? "\"" + *want + "\"" : "<end of transcript>") << "\n"
          << "  actual:   " << (got ? "\"" + *got + "\"" : "<end of transcript>");
        return s.str();
    }
    return "";
}

class GoldenTranscript : public testing::TestWithParam<const char *> {};

TEST_P(GoldenTranscript, MatchesTheRecordedOutput) {
    std::string base = GOLDEN_DIRECTORY + GetParam();
    Lines script = readLines(base + ".script");
    ASSERT_FALSE(script.empty()) << "no script " << base << ".script";
    Session actual = runScript(script);
    const char *update = std::getenv("VORLAN_GOLDEN_UPDATE");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(actual.complete) << "not recorded: " << actual.transcript.back();
        std::ofstream out(base + ".expected", std::ios::binary | std::ios::trunc);
        for (const std::string &line : actual.transcript)
            out << line << '\n';
        ASSERT_TRUE(out.good()) << "cannot write " << base << ".expected";
        return;
    }
    Lines expected = readLines(base + ".expected");
    ASSERT_FALSE(expected.empty()) << "no " << base << ".expected (VORLAN_GOLDEN_UPDATE=1 records it)";
    std::string difference = firstDifference(expected, actual.transcript);
    EXPECT_TRUE(difference.empty()) << GetParam() << ".expected: " << difference;
}

INSTANTIATE_TEST_SUITE_P(Sessions, GoldenTranscript, testing::Values("uci", "xboard", "console"),
                         [](const testing::TestParamInfo<const char *> &session) {
                             return std::string(session.param);
                         });

} // namespace

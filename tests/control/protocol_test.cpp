// Sessions with the real engine binary over pipes.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::TempDirectory;
using Lines = std::vector<std::string>;

namespace {

// A command with a fixed reply marks the end of the output of the lines before it: before the
// handshake an unknown option, afterwards "isready".
constexpr const char *MARKER_COMMAND = "setoption name marker";
constexpr const char *MARKER_REPLY = "info string ERROR: Unknown Option!";

// An engine started in an empty working directory with its banner and start-up lines read.
struct Session {
    TempDirectory dir;
    EngineProcess engine{dir.path()};
    Lines startup;
    std::string marker = MARKER_COMMAND, markerReply = MARKER_REPLY;

    Session() {
        auto lines = engine.startupLines(MARKER_COMMAND, MARKER_REPLY);
        EXPECT_TRUE(lines.has_value()) << "engine did not start";
        if (lines) startup = *lines;
    }
    // Sends the lines, then the marker, and returns everything printed before the marker reply.
    Lines exchange(const Lines &lines) {
        for (const std::string &line : lines)
            engine.send(line);
        engine.send(marker);
        auto out = engine.readUntil(markerReply);
        EXPECT_TRUE(out.has_value()) << "no marker reply";
        return out.value_or(Lines{"<timeout>"});
    }
    Lines uciHandshake() {
        engine.send("uci");
        marker = "isready";
        markerReply = "readyok";
        return engine.readUntil("uciok").value_or(Lines{"<timeout>"});
    }
};

const Lines HANDSHAKE = {
    "id name Vorlan 1.8",
    "id author the Vorlan developers",
    "option name Hash type spin default 128 min 1 max 2048",
    "option name Hashfull type combo default None var None var Main var Pawn var PV",
    "option name Clear Hash type button",
    "option name Threads type spin default 1 min 1 max 1",
    "option name NalimovPath type string default C:\\EGTB\\",
    "option name NalimovCache type spin default 1 min 1 max 1024",
    "option name OwnBook type check default true",
    "option name TournamentBook type check default false",
    "option name OwnBookPath type string default Book.vlb",
    "option name Bookmove Info type check default true",
    "option name Buffer type spin default 300 min 0 max 1000000",
    "option name MultiPV type spin default 1 min 1 max 256",
    "option name Full PV type check default false",
    "option name UCI_ShowCurrLine type check default false",
    "option name UCI_EngineAbout type string default Vorlan 1.8 by the Vorlan developers",
    "option name Nullmove type check default true",
    "option name Quick Repetition type check default false",
    "option name Swindle Mode type check default false",
    "option name Ponder type check default true",
    "option name Simple Move type check default true",
    "option name Process Time type check default false",
    "option name Personality type combo default main var main",
    "option name Inifilepath type string default default.ini",
};

} // namespace

TEST(Protocol, BannerAndStartUp) {
    TempDirectory dir;
    EngineProcess engine(dir.path());
    EXPECT_EQ(engine.readLine(), "Vorlan 1.8 UCI chess engine");
    EXPECT_NE(engine.readLine().value_or("").find("the Vorlan developers"), std::string::npos);
    EXPECT_EQ(engine.readLine().value_or("").rfind("Built ", 0), 0u);
    EXPECT_EQ(engine.readLine(), "");
    EXPECT_EQ(engine.readLine(), "Cannot open Book.vlb, a small internal book will be used instead!");
    EXPECT_EQ(engine.readLine(), "Cannot open default.ini");
}

TEST(Protocol, UciHandshakePrintsDefaultsInTableOrder) {
    Session s;
    EXPECT_EQ(s.exchange({"setoption name Hash value 64", "uci "}), Lines{}); // "uci " is not "uci"
    EXPECT_EQ(s.uciHandshake(), HANDSHAKE); // defaults, not the current Hash
    // Mode 2 for good: the handshake and console words are ignored now.
    EXPECT_EQ(s.exchange({"uci", "xboard", "prog", "d", "stop", "readyok"}), Lines{});
    EXPECT_EQ(s.exchange({"debug", "setoption name Threads value 2", "setoption name Ponder value On",
                          "setoption name PONDER value none", "setoption name Nothing value 1"}),
              (Lines{"info string ERROR: Unknown Option!", "info string ERROR: Value Out of Bound!",
                     "info string ERROR: Invalid Value!", "info string ERROR: Unknown Option!"}));
}

TEST(Protocol, ConsoleWordsNeedTheWholeLineOrTheirPrefix) {
    Session s;
    Lines prog = {"--------------------------------", "mate distance pruning         ON",
                  "enhanced transposition cutoff ON", "history move ordering         ON",
                  "internal iterative deepening  ON", "IID in cut nodes             OFF",
                  "--------------------------------"};
    EXPECT_EQ(s.exchange({"prog", "prog ", "Prog", "isready", "xyzzy"}), prog);
    EXPECT_EQ(s.engine.send("quit"), true);
    EXPECT_EQ(s.engine.waitExit(), 0);
}

TEST(Protocol, TwoCommandsInOneWriteRunInOrder) {
    Session s;
    s.uciHandshake();
    s.engine.write("setoption name Hash value 0\nisready\nsetoption name Hash value 99999\n");
    EXPECT_EQ(s.engine.readLine(), "info string ERROR: Value Out of Bound!");
    EXPECT_EQ(s.engine.readLine(), "readyok");
    EXPECT_EQ(s.engine.readLine(), "info string ERROR: Value Out of Bound!");
}

TEST(Protocol, EndOfInputEndsTheEngineAfterTheLastLine) {
    Session s;
    s.uciHandshake();
    s.engine.write("isready\nisready"); // the last line has no line end
    s.engine.closeInput();
    EXPECT_EQ(s.engine.readToEnd(), (Lines{"readyok", "readyok"}));
    EXPECT_EQ(s.engine.waitExit(), 0);
}

TEST(Protocol, OverlongLinesAreDroppedAndReadingGoesOn) {
    Session s;
    s.uciHandshake();
    // 65535 bytes fill the buffer without a line end; longer lines arrive over several reads.
    for (std::size_t size : {std::size_t(65535), std::size_t(65536), std::size_t(200000)}) {
        std::string line = "isready" + std::string(size - 7, ' ');
        s.engine.write(line + "\nisready\n");
        EXPECT_EQ(s.engine.readLine(), "readyok") << size;
    }
    // Just below the limit the line is still a line: "debug" followed by blanks is unknown.
    s.engine.write("debug" + std::string(65000, ' ') + "\nisready\n");
    EXPECT_EQ(s.engine.readLine(), "info string ERROR: Invalid Value!");
    EXPECT_EQ(s.engine.readLine(), "readyok");
}

TEST(Protocol, BinaryInputNeverStopsTheEngine) {
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise += char((i * 131 + i / 7) & 0xFF);
    noise += std::string("\0\0\r\n\xff\xfe\n\0uci\n", 12);
    for (const char *mode : {"", "uci", "xboard"}) {
        Session s;
        if (*mode) s.engine.send(mode);
        s.engine.write(noise);
        s.engine.send("quit");
        s.engine.readToEnd();
        EXPECT_EQ(s.engine.waitExit(), 0) << mode;
    }
}

TEST(Protocol, DebugLogRecordsInputAndRepliesWithTimeStamps) {
    Session s;
    s.uciHandshake();
    s.exchange({"debug on"}); // the marker "isready" is logged with its reply
    EXPECT_EQ(s.exchange({"debug off", "debug off", "debug on"}), Lines{});
    s.engine.send("quit");
    EXPECT_EQ(s.engine.waitExit(), 0);
    std::string log = s.dir.read("debug.txt");
    auto at = [&](const std::string &text) { return log.find(text); };
    ASSERT_NE(at("*** Starting Debug Mode ***\n"), std::string::npos) << log;
    EXPECT_NE(at("BUILD: Vorlan 1.8, "), std::string::npos);
    EXPECT_LT(at(": isready\n"), at(": readyok\n"));
    EXPECT_LT(at(": readyok\n"), at("gettime(): "));
    EXPECT_LT(at("gettime(): "), at("*** Stopping Debug Mode ***\n"));
    EXPECT_EQ(log.find("*** Stopping Debug Mode ***", at("*** Stopping Debug Mode ***") + 1),
              std::string::npos)
        << "an unchanged value writes nothing";
    EXPECT_NE(log.find("*** Starting Debug Mode ***", at("*** Stopping Debug Mode ***")), std::string::npos);
    EXPECT_NE(at("      0: isready\n"), std::string::npos) << "seven-wide stamps";
    EXPECT_NE(at(": quit\n"), std::string::npos);
}

TEST(Protocol, StartUpReadsPersonalitiesAndThenDefaultIni) {
    TempDirectory dir;
    dir.write("personalities/aggressive.ini", "Aggression=150\n");
    dir.write("personalities/my default.ini", "Aggression=1\n");
    dir.write("default.ini", "Personality=aggressive\r\nbogus line = 3\r\nDebug=on\r\n");
    dir.write("other.ini", "[Engine]\nMultiPV=2\nHash\n");
    EngineProcess engine(dir.path());
    auto startup = engine.startupLines("uci", "uciok");
    ASSERT_TRUE(startup);
    Lines expected = {"Illegal Personality Name: my default.ini",
                      "Cannot open Book.vlb, a small internal book will be used instead!",
                      "info string Loading ini file 'default.ini'",
                      "info string Loading ini file 'personalities/aggressive.ini'",
                      "info string ERROR: 'bogus line = 3' is an unknown Option!"};
    Lines handshake = HANDSHAKE;
    handshake[handshake.size() - 2] += " var aggressive";
    expected.insert(expected.end(), handshake.begin(), handshake.end());
    EXPECT_EQ(*startup, expected);
    // The value from default.ini is current: setting it again changes nothing and loads nothing.
    engine.send("setoption name personality value aggressive");
    engine.send("setoption name Inifilepath value other.ini");
    engine.send("setoption name Inifilepath value missing.ini");
    engine.send("isready");
    EXPECT_EQ(engine.readUntil("readyok"),
              (Lines{"info string Loading ini file 'other.ini'",
                     "info string ERROR: 'Hash' is an unknown Option!", "info string Cannot open missing.ini"}));
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    std::string log = dir.read("debug.txt");
    EXPECT_EQ(log.rfind("***************************\n*** Starting Debug Mode ***\n", 0), 0u) << log;
    EXPECT_NE(log.find(": uci\n"), std::string::npos);
    EXPECT_NE(log.find(": id name/author; options; uciok\n"), std::string::npos);
}

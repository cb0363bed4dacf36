// Sessions with the real engine binary over pipes: start-up, the console, the UCI handshake,
// input the engine must survive, the debug log and the INI files read at start-up.
#include "support/engine_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::TempDirectory;
using Lines = std::vector<std::string>;

namespace {

const Lines HANDSHAKE = {
    "id name Vorlan 1.8",
    "id author the Vorlan developers",
    "option name Hash type spin default 128 min 1 max 65536",
    "option name Hashfull type combo default None var None var Main var Pawn var PV",
    "option name Clear Hash type button",
    "option name Threads type spin default 1 min 1 max 512",
    "option name NalimovPath type string default C:\\EGTB\\",
    "option name NalimovCache type spin default 1 min 1 max 1024",
    "option name SyzygyPath type string default <empty>",
    "option name SyzygyProbeDepth type spin default 1 min 1 max 100",
    "option name Syzygy50MoveRule type check default true",
    "option name SyzygyProbeLimit type spin default 7 min 0 max 7",
    "option name OwnBook type check default true",
    "option name TournamentBook type check default false",
    "option name OwnBookPath type string default Book.vlb",
    "option name Bookmove Info type check default true",
    "option name Buffer type spin default 300 min 0 max 1000000",
    "option name MultiPV type spin default 1 min 1 max 256",
    "option name Full PV type check default false",
    "option name UCI_ShowCurrLine type check default false",
    "option name UCI_Chess960 type check default false",
    "option name UCI_LimitStrength type check default false",
    "option name UCI_Elo type spin default 1500 min 1350 max 2050",
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

// Sends the lines, then `marker`, and returns everything printed before `reply`: a command with
// a fixed reply marks the end of the output of the lines before it.
Lines exchange(EngineProcess &e, const Lines &lines, const std::string &marker = "isready",
               const std::string &reply = "readyok") {
    for (const std::string &line : lines)
        e.send(line);
    e.send(marker);
    return e.readUntil(reply).value_or(Lines{"<timeout>"});
}

Lines console(EngineProcess &e, const Lines &lines) {
    return exchange(e, lines, "setoption name marker", "info string ERROR: Unknown Option!");
}

} // namespace

TEST(Protocol, ConsoleUciAndTheDebugLog) {
    TempDirectory dir;
    EngineProcess e(dir.path());
    EXPECT_EQ(e.readLine(), "Vorlan 1.8 UCI chess engine");
    EXPECT_NE(e.readLine().value_or("").find("the Vorlan developers"), std::string::npos);
    EXPECT_EQ(e.readLine().value_or("").rfind("Built ", 0), 0u);
    EXPECT_EQ(console(e, {}), (Lines{"", "Cannot open Book.vlb, a small internal book will be used instead!",
                                     "Cannot open default.ini"}));
    // Console words need the whole line or are a prefix of it; "uci " is not "uci".
    EXPECT_EQ(console(e, {"prog", "prog ", "progs", "Prog", "isready", "xyzzy", "xboard2", "uci "}),
              (Lines{"--------------------------------", "mate distance pruning         ON",
                     "enhanced transposition cutoff ON", "history move ordering         ON",
                     "internal iterative deepening  ON", "IID in cut nodes             OFF",
                     "--------------------------------"}));
    EXPECT_EQ(console(e, {"setoption name Hash value 64"}), Lines{});
    e.send("uci");
    EXPECT_EQ(e.readUntil("uciok"), HANDSHAKE); // defaults, not the current Hash
    // UCI for good: the handshake and console words are ignored now.
    EXPECT_EQ(exchange(e, {"uci", "xboard", "prog", "d", "stop", "readyok"}), Lines{});
    EXPECT_EQ(exchange(e, {"debug", "setoption name Threads value 513", "setoption name Ponder value On",
                           "setoption name PONDER value none", "setoption name Nothing value 1"}),
              (Lines{"info string ERROR: Unknown Option!", "info string ERROR: Value Out of Bound!",
                     "info string ERROR: Invalid Value!", "info string ERROR: Unknown Option!"}));
    // Two commands in one write run in order.
    e.write("setoption name Hash value 0\nisready\nsetoption name Hash value 99999\n");
    for (const char *reply :
         {"info string ERROR: Value Out of Bound!", "readyok", "info string ERROR: Value Out of Bound!"})
        EXPECT_EQ(e.readLine(), reply);
    // Overlong lines are dropped and reading goes on: 65535 bytes fill the buffer without a line
    // end; longer lines arrive over several reads. Just below the limit a line is still a line.
    for (std::size_t size : {std::size_t(65535), std::size_t(65536), std::size_t(200000)}) {
        e.write("isready" + std::string(size - 7, ' ') + "\nisready\n");
        EXPECT_EQ(e.readLine(), "readyok") << size;
    }
    e.write("debug" + std::string(65000, ' ') + "\n");
    EXPECT_EQ(exchange(e, {}), Lines{"info string ERROR: Invalid Value!"});

    // The debug log: input and replies with time stamps, and a line for each change of the mode.
    exchange(e, {"debug on"}); // the marker "isready" is logged with its reply
    EXPECT_EQ(exchange(e, {"debug off", "debug off", "debug on"}), Lines{});
    e.send("quit");
    EXPECT_EQ(e.waitExit(), 0);
    std::string log = dir.read("debug.txt");
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

// Noise in every mode never stops the engine; the end of input ends it after the last line, even
// one without a line end.
TEST(Protocol, BinaryInputAndEndOfInput) {
    std::string noise;
    for (int i = 0; i < 20000; ++i)
        noise += char((i * 131 + i / 7) & 0xFF);
    noise += std::string("\0\0\r\n\xff\xfe\n\0uci\n", 12);
    for (const char *mode : {"", "xboard", "uci"}) {
        TempDirectory dir;
        EngineProcess e(dir.path());
        if (*mode) e.send(mode);
        e.write(noise);
        if (std::string(mode) == "uci") {
            e.write("isready\nisready"); // the last line has no line end
            e.closeInput();
            Lines out = e.readToEnd();
            ASSERT_GE(out.size(), 2u);
            EXPECT_EQ(Lines(out.end() - 2, out.end()), (Lines{"readyok", "readyok"}));
        } else {
            e.send("quit");
            e.readToEnd();
        }
        EXPECT_EQ(e.waitExit(), 0) << mode;
    }
}

TEST(Protocol, StartUpReadsPersonalitiesAndThenDefaultIni) {
    TempDirectory dir;
    dir.write("personalities/aggressive.ini", "Aggression=150\n");
    dir.write("personalities/my default.ini", "Aggression=1\n");
    dir.write("default.ini", "Personality=aggressive\r\nbogus line = 3\r\nDebug=on\r\n");
    dir.write("other.ini", "[Engine]\nMultiPV=2\nHash\n");
    EngineProcess engine(dir.path());
    ASSERT_TRUE(engine.readUntil("")); // the banner
    engine.send("uci");
    auto startup = engine.readUntil("uciok");
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
    EXPECT_EQ(exchange(engine, {"setoption name personality value aggressive",
                                "setoption name Inifilepath value other.ini",
                                "setoption name Inifilepath value missing.ini"}),
              (Lines{"info string Loading ini file 'other.ini'",
                     "info string ERROR: 'Hash' is an unknown Option!", "info string Cannot open missing.ini"}));
    engine.send("quit");
    EXPECT_EQ(engine.waitExit(), 0);
    std::string log = dir.read("debug.txt");
    EXPECT_EQ(log.rfind("***************************\n*** Starting Debug Mode ***\n", 0), 0u) << log;
    EXPECT_NE(log.find(": uci\n"), std::string::npos);
    EXPECT_NE(log.find(": id name/author; options; uciok\n"), std::string::npos);
}

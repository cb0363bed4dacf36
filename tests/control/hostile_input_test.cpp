// Bad input is answered with one line in the protocol's own form, and the engine carries on; hostile
// numbers are bounded.
#include "control/dispatch.h"
#include "control/protocol.h"
#include "position/fen.h"
#include "search/context.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(HostileInput, ErrorsAreOneLineInTheProtocolsForm) {
    testsupport::initOnce();
    struct Case {
        int mode;
        const char *line, *expected;
    };
    const Case cases[] = {
        {control::MODE_UCI, "setoption name Hash value 0", "info string ERROR: Value Out of Bound!\n"},
        {control::MODE_UCI, "setoption name Ponder value On", "info string ERROR: Invalid Value!\n"},
        {control::MODE_UCI, "setoption name NoSuch value 1", "info string ERROR: Unknown Option!\n"},
        {control::MODE_UCI, "setoption name Inifilepath value missing.ini",
         "info string Cannot open missing.ini\n"},
        {control::MODE_UCI, "position fen 8/8/8 w - - 0 1",
         "info string Invalid Fen: Board corrupted - Loading Startposition instead ...\n"},
        {control::MODE_UCI, "position startpos moves e2e5", "info string Invalid Move: e2e5\n"},
        // No legal move: the interface still gets its bestmove.
        {control::MODE_UCI, "position fen 7k/8/8/8/8/8/5q1r/7K w - - 0 1", ""},
        {control::MODE_UCI, "go depth 3", "bestmove 0000\n"},
        {control::MODE_XBOARD, "e2e5", "Illegal move: e2e5\n"},
        {control::MODE_XBOARD, "setboard 8/8/8 w - - 0 1",
         "tellusererror Invalid Fen: Board corrupted - Loading Startposition instead ...\n"},
        {control::MODE_XBOARD, "frobnicate now", "Error (unknown command): frobnicate\n"},
        {control::MODE_NONE, "move a1a9", "info string Invalid Move: a1a9\n"},
    };
    for (const Case &c : cases) {
        control::setProtocolMode(c.mode);
        search::setSearchState(search::STATE_IDLE);
        CaptureStdout();
        control::dispatchLine(c.line);
        EXPECT_EQ(GetCapturedStdout(), c.expected) << c.line;
    }
    control::setProtocolMode(control::MODE_NONE);
    position::LoadFen(position::START_FEN);
}

// Huge numbers in time controls and limits (found by fuzzing: they overflowed the arithmetic of
// the time manager and of depths in 1/256 plies) are bounded, and the searches still end.
TEST(HostileInput, HugeLimitsAreBounded) {
    testsupport::initOnce();
    using namespace search;
    control::setProtocolMode(control::MODE_XBOARD);
    CaptureStdout();
    control::dispatchLine("level 2147483647 99999999 99999999");
    EXPECT_EQ(Shared.limits.movestogo, CLOCK_BOUND_MS);
    EXPECT_EQ(Shared.limits.time[0], CLOCK_BOUND_MS);
    EXPECT_EQ(Shared.limits.inc[1], CLOCK_BOUND_MS);
    control::dispatchLine("level 40 0:99999999 0");
    EXPECT_EQ(Shared.limits.time[1], CLOCK_BOUND_MS);
    control::dispatchLine("st 99999999");
    EXPECT_EQ(Shared.limits.movetime, CLOCK_BOUND_MS);
    control::dispatchLine("sd -99999999");
    EXPECT_EQ(Shared.limits.depth, -DEPTH_BOUND);
    control::dispatchLine("time -999999999");
    control::dispatchLine("otim 999999999");
    control::setProtocolMode(control::MODE_UCI);
    control::dispatchLine("position startpos");
    control::dispatchLine("go depth 2147483647 nodes 3000");
    EXPECT_EQ(Shared.limits.depth, DEPTH_BOUND);
    control::dispatchLine("go wtime 99999999999 btime 1000 movestogo 2147483647 winc -2147483648 binc 0");
    EXPECT_EQ(Shared.limits.time[0], CLOCK_BOUND_MS);
    EXPECT_EQ(Shared.limits.inc[0], -CLOCK_BOUND_MS);
    std::string out = GetCapturedStdout();
    EXPECT_NE(out.find("bestmove"), std::string::npos) << out;
    control::setProtocolMode(control::MODE_NONE);
}

// A move of the side not to move passes the turn, but not out of check (found by fuzzing: the
// queen then took the king and the search read outside its tables).
TEST(HostileInput, NoPassingOutOfCheck) {
    testsupport::initOnce();
    control::setProtocolMode(control::MODE_UCI);
    CaptureStdout();
    control::dispatchLine("position startpos moves e2e4 f7f6 d1h5 h5e8");
    EXPECT_EQ(GetCapturedStdout(), "info string Invalid Move: h5e8\n");
    EXPECT_TRUE(position::positionIsConsistent(position::GamePosition));
    EXPECT_EQ(position::GamePosition.sideToMove, position::BLACK);
    control::setProtocolMode(control::MODE_NONE);
}

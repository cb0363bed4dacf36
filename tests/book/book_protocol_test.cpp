// The book through the engine binary under UCI: instant book moves, variety over many games, a
// book file named by OwnBookPath, and OwnBook off.
#include "book/entry.h"
#include "book/key.h"
#include "book/table.h"
#include "position/fen.h"
#include "position/notation.h"
#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using testsupport::EngineProcess;
using testsupport::startsWith;
using Lines = std::vector<std::string>;

namespace {

bool searched(const Lines &lines) {
    for (const auto &l : lines)
        if (startsWith(l, "info multipv") || startsWith(l, "info depth")) return true;
    return false;
}

} // namespace

TEST(BookProtocol, TimedGamesOpenFromTheBookAtOnceAndVary) {
    testsupport::TempDirectory dir;
    EngineProcess e(dir.path());
    ASSERT_TRUE(e.uciHandshake());
    std::set<std::string> firstMoves;
    for (int game = 0; game < 50; ++game) {
        e.write("ucinewgame\nposition startpos\ngo wtime 60000 btime 60000\n");
        Lines lines = e.readThrough("bestmove");
        ASSERT_TRUE(startsWith(lines.back(), "bestmove ")) << lines.back();
        EXPECT_FALSE(searched(lines)) << lines.back();
        int marked = 0;
        for (const auto &l : lines)
            marked += startsWith(l, "info string  ") && l.back() == '*';
        EXPECT_EQ(marked, 1); // "Bookmove Info" marks the chosen range
        firstMoves.insert(lines.back().substr(9, 4));
    }
    EXPECT_GT(firstMoves.size(), 1u);

    // A book file: its one move is played without a search or a report.
    testsupport::initOnce();
    position::LoadFen(position::START_FEN);
    ASSERT_TRUE(book::writeBookFile(
        dir.file("Book.vlb"),
        {{book::bookKey(position::GamePosition, position::TextToMove("a2a3")), 0, 3, 1}}));
    e.send("setoption name OwnBookPath value " + dir.file("Book.vlb")); // not the same text: read again
    e.write("setoption name Bookmove Info value false\nisready\n");
    EXPECT_EQ(e.readUntil("readyok"), Lines{"info string Opening Book: 1 entries loaded"});
    e.write("position startpos\ngo wtime 60000 btime 60000\n");
    Lines lines = e.readThrough("bestmove");
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_TRUE(startsWith(lines.back(), "bestmove a2a3")) << lines.back();
    // A missing file is reported once; then the internal book serves again.
    e.write("setoption name OwnBookPath value missing.vlb\nsetoption name OwnBookPath value "
            "missing.vlb\nisready\n");
    EXPECT_EQ(e.readUntil("readyok"),
              Lines{"info string Cannot open missing.vlb, a small internal book will be used instead!"});
    e.write("setoption name OwnBook value false\nposition startpos\ngo wtime 2000 btime 2000\n");
    EXPECT_TRUE(searched(e.readThrough("bestmove")));
}

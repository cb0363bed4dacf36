// The book through the engine binary under UCI: instant book moves, variety over many games,
// OwnBook off, and a book file in the working folder.
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
using testsupport::TempDirectory;

namespace {

bool startsWith(const std::string &s, const std::string &prefix) { return s.rfind(prefix, 0) == 0; }

std::vector<std::string> untilBestMove(EngineProcess &e) {
    std::vector<std::string> lines;
    while (auto line = e.readLine()) {
        lines.push_back(*line);
        if (startsWith(*line, "bestmove")) break;
    }
    return lines;
}

bool searched(const std::vector<std::string> &lines) {
    for (const auto &l : lines)
        if (startsWith(l, "info multipv") || startsWith(l, "info depth")) return true;
    return false;
}

} // namespace

TEST(BookProtocol, TimedGamesOpenFromTheInternalBookAtOnceAndVary) {
    TempDirectory dir;
    EngineProcess e(dir.path());
    e.send("uci");
    ASSERT_TRUE(e.readUntil("uciok"));
    std::set<std::string> firstMoves;
    for (int game = 0; game < 50; ++game) {
        e.send("ucinewgame");
        e.send("position startpos");
        e.send("go wtime 60000 btime 60000");
        auto lines = untilBestMove(e);
        ASSERT_FALSE(lines.empty());
        ASSERT_TRUE(startsWith(lines.back(), "bestmove ")) << lines.back();
        EXPECT_FALSE(searched(lines)) << lines.back();
        int marked = 0;
        for (const auto &l : lines)
            marked += startsWith(l, "info string  ") && l.back() == '*';
        EXPECT_EQ(marked, 1); // "Bookmove Info" marks the chosen range
        firstMoves.insert(lines.back().substr(9, 4));
    }
    EXPECT_GT(firstMoves.size(), 1u);
    e.send("setoption name OwnBook value false");
    e.send("position startpos");
    e.send("go wtime 2000 btime 2000");
    EXPECT_TRUE(searched(untilBestMove(e)));
}

TEST(BookProtocol, ABookFileInTheWorkingFolderIsLoadedAndPlayed) {
    testsupport::initOnce();
    position::LoadFen(position::START_FEN);
    position::Position start = position::GamePosition;
    TempDirectory dir;
    ASSERT_TRUE(book::writeBookFile(dir.file("Book.vlb"),
                                    {{book::bookKey(start, position::TextToMove("a2a3")), 0, 3, 1}}));
    EngineProcess e(dir.path());
    auto startup = e.startupLines("uci", "uciok");
    ASSERT_TRUE(startup);
    ASSERT_FALSE(startup->empty());
    EXPECT_EQ(startup->front(), "Opening Book: 1 entries loaded");
    e.send("setoption name Bookmove Info value false");
    e.send("position startpos");
    e.send("go wtime 60000 btime 60000");
    auto lines = untilBestMove(e);
    ASSERT_EQ(lines.size(), 1u); // no search, no book report
    EXPECT_TRUE(startsWith(lines[0], "bestmove a2a3")) << lines[0];
    e.send("setoption name OwnBookPath value missing.vlb");
    e.send("setoption name OwnBookPath value missing.vlb");
    e.send("isready");
    EXPECT_EQ(e.readUntil("readyok"),
              std::vector<std::string>{
                  "info string Cannot open missing.vlb, a small internal book will be used instead!"});
}

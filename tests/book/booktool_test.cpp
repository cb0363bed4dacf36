// vorlan-book through the real program: Polyglot conversion against the sample books' expected
// content, a PGN round trip counted by hand, failures; and its SAN reader in-process.
#include "book/key.h"
#include "book/table.h"
#include "booktool/san.h"
#include "position/fen.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

using namespace position;
using testsupport::TempDirectory;

namespace {

testsupport::CommandRun runTool(const std::string &arguments) {
    return testsupport::runCommand(std::string("'") + VORLAN_BOOK_BINARY + "' " + arguments);
}

std::string quoted(const std::string &path) { return "'" + path + "'"; }
std::string polyglotFile(const std::string &name) { return std::string(VORLAN_POLYGLOT_DATA) + "/" + name; }

// The book's moves (coordinate text) and weights in the position of `fen`.
std::map<std::string, int> bookMoves(const std::string &fen) {
    LoadFen(fen);
    Position pos = GamePosition;
    MoveEntry list[MAX_MOVES];
    int n = GenerateLegal(pos, list);
    std::map<std::string, int> moves;
    for (int i = 0; i < n; ++i)
        if (const book::BookEntry *e = book::findBookEntry(book::bookKey(pos, entryMove(list[i]))))
            moves[moveText(entryMove(list[i]))] = e->weight;
    return moves;
}

bool loadBook(const std::string &path) { return book::readBookFile(path, book::BookTable); }

} // namespace

TEST(BookTool, FromPolyglotHasExactlyTheExpectedMovesOfEveryReachablePosition) {
    testsupport::initOnce();
    if (!std::filesystem::exists(polyglotFile("sample.bin")))
        GTEST_SKIP() << "no Polyglot samples at " << VORLAN_POLYGLOT_DATA;
    TempDirectory dir;
    for (std::string name : {"sample", "edge-cases"}) {
        testsupport::CommandRun r = runTool("from-polyglot " + quoted(polyglotFile(name + ".bin")) + " -o " +
                                            quoted(dir.file("out.vlb")));
        ASSERT_EQ(r.status, 0) << r.output;
        ASSERT_TRUE(loadBook(dir.file("out.vlb")));
        std::ifstream expected(polyglotFile(name + "-expected.txt"));
        std::size_t moves = 0;
        for (std::string line; std::getline(expected, line);) {
            if (line.empty() || line[0] == '#') continue;
            std::string fen = line.substr(0, line.find(" ; "));
            std::map<std::string, int> want;
            std::istringstream list(line.substr(line.rfind(" ; ") + 3));
            for (std::string move, weight; list >> move >> weight;)
                want[move] = std::stoi(weight);
            EXPECT_EQ(bookMoves(fen + " 0 1"), want) << name << ": " << fen;
            moves += want.size();
        }
        EXPECT_EQ(book::bookEntries(), moves) << name << ": entries beyond the expected ones";
    }
    // Planted faults: a duplicate adds its weight, weight 0 and an illegal move are dropped, and
    // castling written king-to-square joins the king-takes-rook entry.
    testsupport::CommandRun r =
        runTool("from-polyglot " + quoted(polyglotFile("defects.bin")) + " -o " + quoted(dir.file("d.vlb")));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("1 illegal, 1 with weight 0, 2 merged into the same move, 1 not reachable"),
              std::string::npos)
        << r.output;
    ASSERT_TRUE(loadBook(dir.file("d.vlb")));
    EXPECT_EQ(bookMoves(START_FEN),
              (std::map<std::string, int>{{"c2c4", 1}, {"d2d4", 2}, {"e2e4", 6}, {"g1f3", 1}, {"h2h4", 3}}));
    EXPECT_EQ(bookMoves("r1bqk1nr/pppp1ppp/2n5/2b1p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 0 1"),
              (std::map<std::string, int>{{"e1g1", 4}}));
}

TEST(BookTool, PgnRoundTripMatchesCountingByHand) {
    testsupport::initOnce();
    TempDirectory dir;
    dir.write("games.pgn",
              "\xEF\xBB\xBF[Event \"Round \\\"one\\\"\"]\r\n[Result \"1-0\"]\r\n\r\n"
              "1. e4 {a (comment} e5 2. Nf3 (2. f4 exf4 (2... d5) 3. Nf3) 2... Nc6 $1 3. Bb5 a6 ; 4. d4\r\n"
              "4. Ba4 1-0\r\n\r\n"
              "[Result \"0-1\"]\n1.e4 c5 2.Nf3 d6 3.d4 cxd4 4.Nxd4 Nf6 5.Nc3 a6 0-1\n\n"
              "[Result \"1/2-1/2\"]\n1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. O-O Nf6 5. d3 O-O 1/2-1/2\n\n"
              "[Result \"1-0\"]\n1. e4 e5 2. Ke3 1-0\n\n"
              "[Result \"0-1\"]\n1. d4 d5 2. Xy9 0-1\n\n"
              "[Result \"*\"]\n1. e4 Nf6 2. e5 d5 3. exd6 e.p. cxd6 *\n"
              "%1. h4 on an escaped line\n"
              "[Result \"1-0\"]\n1. d4 d5 2. c4\n"
              "[Result \"0-1\"]\n1... e5 0-1\n");
    testsupport::CommandRun r =
        runTool("from-pgn " + quoted(dir.file("games.pgn")) + " -o " + quoted(dir.file("Book.vlb")));
    ASSERT_EQ(r.status, 0) << r.output;
    for (const char *skip :
         {"game 4 skipped: move 2. Ke3 is illegal", "game 5 skipped: move 2. Xy9 is unreadable",
          "game 8 skipped: move 1. e5 is illegal", "8 games read, 3 skipped"})
        EXPECT_NE(r.output.find(skip), std::string::npos) << skip << " in:\n" << r.output;
    ASSERT_TRUE(loadBook(dir.file("Book.vlb")));
    // Games 1, 2, 3 and 6 open 1.e4, game 7 1.d4; the variation, the comments and the escaped line
    // add nothing.
    EXPECT_EQ(bookMoves(START_FEN), (std::map<std::string, int>{{"d2d4", 1}, {"e2e4", 4}}));
    LoadFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_EQ(bookMoves("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1"),
              (std::map<std::string, int>{{"c7c5", 1}, {"e7e5", 2}, {"g8f6", 1}}));
    EXPECT_EQ(bookMoves("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2"),
              (std::map<std::string, int>{{"g1f3", 2}}));
    EXPECT_EQ(bookMoves("rnbqkb1r/ppp1pppp/5n2/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3"),
              (std::map<std::string, int>{{"e5d6", 1}}));
    // show: 1.e4 won, lost, drew and has one game without result (score 0): main and tournament;
    // 1.d4 was played once, so it is no main move and gets no share.
    r = runTool("show " + quoted(dir.file("Book.vlb")));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("e2e4   e4            4      0     100%  main,tournament\n"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("d2d4   d4            1    100       0%  -\n"), std::string::npos) << r.output;
}

TEST(BookTool, FailuresExitNonZeroAndLeaveTheOldBook) {
    TempDirectory dir;
    dir.write("Book.vlb", "old book");
    struct Case {
        std::string arguments;
        int status;
        const char *message;
    };
    const Case cases[] = {
        {"from-pgn " + quoted(dir.file("missing.pgn")) + " -o " + quoted(dir.file("Book.vlb")), 1,
         "cannot open"},
        {"from-polyglot " + quoted(dir.file("missing.bin")) + " -o " + quoted(dir.file("Book.vlb")), 1,
         "cannot open"},
        {"from-pgn " + quoted(dir.file("Book.vlb")) + " -o " + quoted(dir.file("no/such/dir/x.vlb")), 1,
         "cannot write"},
        {"from-pgn x.pgn -o y.vlb --max-ply 0", 1, "--max-ply"},
        {"show " + quoted(dir.file("missing.vlb")), 1, "cannot read"},
        {"convert x", 2, "usage:"},
    };
    for (const Case &c : cases) {
        testsupport::CommandRun r = runTool(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    }
    EXPECT_EQ(dir.read("Book.vlb"), "old book");
}

TEST(BookTool, SanReadsWhatGamesWriteAndWritesWhatItReads) {
    testsupport::initOnce();
    struct Case {
        const char *fen, *san, *move; // move "" with san's expected error in `error`
        const char *error;
    };
    const char *knights = "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1";
    const char *promotion = "8/4P1k1/8/8/8/8/8/4K3 w - - 0 1";
    const Case cases[] = {
        {START_FEN, "Ng1-f3", "g1f3", ""}, {START_FEN, "e2e4", "e2e4", ""},
        {START_FEN, "e5", "", "illegal"},  {START_FEN, "Ke9", "", "unreadable"},
        {knights, "Nd2", "", "ambiguous"}, {knights, "Nbd2", "b1d2", ""},
        {knights, "Nfd2+", "f1d2", ""},    {promotion, "e8N!?", "e7e8n", ""},
        {promotion, "e8", "", "illegal"},  {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "0-0", "e1g1", ""},
    };
    for (const Case &c : cases) {
        LoadFen(c.fen);
        Position pos = GamePosition;
        std::string error;
        Move m = booktool::parseSan(pos, c.san, error);
        EXPECT_EQ(m == NO_MOVE ? error : moveText(m), *c.move ? c.move : c.error) << c.fen << " " << c.san;
    }
    // Every legal move written in SAN reads back as itself (the plain forms are covered here).
    for (const char *fen : {START_FEN, knights, promotion, "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1",
                            "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1",
                            "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"}) {
        LoadFen(fen);
        Position pos = GamePosition;
        MoveEntry list[MAX_MOVES];
        int n = GenerateLegal(pos, list);
        for (int i = 0; i < n; ++i) {
            std::string error, san = booktool::toSan(pos, entryMove(list[i]));
            EXPECT_EQ(booktool::parseSan(pos, san, error), entryMove(list[i]))
                << fen << " " << san << " " << error;
        }
    }
}

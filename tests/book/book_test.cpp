// The book in-process: keys, the internal lines, the percentages, the random choice and loading.
#include "base/options.h"
#include "book/internal.h"
#include "book/key.h"
#include "book/load.h"
#include "book/random.h"
#include "book/select.h"
#include "book/table.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "position/zobrist.h"
#include "search/pvcache.h"
#include "search/thread.h"
#include "support/engine_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace position;

namespace {

// Thread 0's position after the coordinate moves from the start; the selection works on it.
Position &setUp(const std::string &moves = "") {
    testsupport::initOnce();
    LoadFen(START_FEN);
    ApplyMoveList(moves);
    search::mainThread().position = GamePosition;
    search::pvCacheClear(search::mainThread().pvCache);
    return search::mainThread().position;
}

Move legalMove(Position &pos, const char *text) {
    MoveEntry list[MAX_MOVES];
    int n = GenerateLegal(pos, list);
    for (int i = 0; i < n; ++i)
        if (moveText(entryMove(list[i])) == text) return entryMove(list[i]);
    ADD_FAILURE() << text << " is not legal";
    return NO_MOVE;
}

// A hand-made book for thread 0's position: move text to weight, flags 3.
void handBook(const std::map<std::string, int> &weights) {
    Position &pos = search::mainThread().position;
    book::BookTable.clear();
    for (const auto &[move, weight] : weights)
        book::BookTable.push_back(
            {book::bookKey(pos, legalMove(pos, move.c_str())), 0, 3, std::uint8_t(weight)});
}

Move select(int &count, MoveEntry *list) {
    count = GenerateLegal(search::mainThread().position, list);
    return book::selectBookMove(search::mainThread(), list, count, nullptr);
}

} // namespace

TEST(BookKeys, CastlingHashesTheRookSquareAndBlackMirrorsWhite) {
    struct Case {
        const char *before, *move, *white; // `white`: the White move in the start position it mirrors
    };
    const Case cases[] = {
        {"", "e2e4", "e2e4"},
        {"e2e4", "e7e5", "e2e4"},
        {"e2e4 e7e5", "g1f3", "g1f3"},
        {"e2e4 e7e5 g1f3", "b8c6", "b1c3"},
    };
    for (const Case &c : cases) {
        std::uint64_t white = book::moveHash(setUp(), TextToMove(c.white));
        EXPECT_EQ(book::moveHash(setUp(c.before), TextToMove(c.move)), white) << c.before << " " << c.move;
    }
    // Castling of either side: the king "goes to" its rook's corner.
    const char *castles[][2] = {{"e2e4 e7e5 g1f3 g8f6 f1c4 f8c5", "e1g1"},
                                {"e2e4 e7e5 g1f3 g8f6 f1c4 f8c5 e1g1", "e8g8"},
                                {"d2d4 d7d5 b1c3 b8c6 c1f4 c8f5 d1d2 d8d7", "e1c1"},
                                {"d2d4 d7d5 b1c3 b8c6 c1f4 c8f5 d1d2 d8d7 e1c1", "e8c8"}};
    for (auto &c : castles) {
        Position &pos = setUp(c[0]);
        bool kingside = c[1][2] == 'g';
        std::uint64_t expected = PieceKey[KING][kingside ? SQ_H1 : SQ_A1] ^ PieceKey[KING][SQ_E1];
        EXPECT_EQ(book::moveHash(pos, legalMove(pos, c[1])), expected) << c[1];
    }
}

TEST(BookKeys, EveryInternalLineIsLegalAndFoundUnderTheGeneratedMovesKey) {
    testsupport::initOnce();
    book::buildInternalBook();
    EXPECT_LT(book::bookEntries(), book::INTERNAL_BOOK_CAPACITY);
    for (const char *line : book::InternalBookLines) {
        Position &pos = setUp();
        for (const char *p = line; *p; ++p) {
            if (!isFileLetter(*p)) continue;
            std::string text(p, p[4] && std::strchr("qrbn", p[4]) ? 5 : 4);
            p += text.size() - 1;
            Move m = legalMove(pos, text.c_str());
            ASSERT_NE(m, NO_MOVE) << line;
            EXPECT_NE(book::findBookEntry(book::bookKey(pos, m)), nullptr) << line << ": " << text;
            PieceType captured;
            MakeMove(pos, m, captured);
        }
    }
}

TEST(BookLines, TheFirstLineToReachAMoveDecidesItsFlags) {
    setUp();
    book::BookTable.clear();
    book::addBookLine("e2e4 e7e5 g1f3");
    book::addBookLine("e2e4-c7c5? d2d4-");
    auto flags = [&](const std::string &before, const char *move) {
        Position &pos = setUp(before);
        const book::BookEntry *e = book::findBookEntry(book::bookKey(pos, legalMove(pos, move)));
        return e ? int(e->flags) : -1;
    };
    EXPECT_EQ(flags("", "e2e4"), 3);
    EXPECT_EQ(flags("e2e4", "c7c5"), 3);
    EXPECT_EQ(flags("e2e4 c7c5", "d2d4"), 12);
    EXPECT_EQ(book::bookEntries(), 5u);
}

TEST(BookSelection, PercentagesByFlagsWeightsAndScores) {
    using book::BookChoice;
    const BookChoice none{};
    auto main = [](int w, int s = 0) { return BookChoice{true, std::int16_t(s), 3, std::uint8_t(w), 0}; };
    auto flagged = [](int flags, int w, int s = 0) {
        return BookChoice{true, std::int16_t(s), std::uint8_t(flags), std::uint8_t(w), 0};
    };
    struct Case {
        std::vector<BookChoice> moves;
        bool tournament;
        int total;
        std::vector<int> percent;
    };
    const Case cases[] = {
        // The internal book: weight 1 each.
        {{main(1), none, main(1), main(1)}, false, 99, {33, 0, 33, 33}},
        {{main(1), main(3), none}, false, 100, {25, 75, 0}},
        // Only main moves share; a found move without bit 0 gets nothing.
        {{main(2), flagged(2, 6), main(2)}, false, 100, {50, 0, 50}},
        // Tournament mode: only bit-1 moves share, by weight.
        {{flagged(1, 9), flagged(3, 1), flagged(3, 3)}, true, 100, {0, 25, 75}},
        {{flagged(1, 9), flagged(1, 1)}, true, 100, {90, 10}},
        // Every root move avoided (in tournament mode: bit 3).
        {{flagged(12, 1), flagged(4, 1)}, false, book::ALL_AVOIDED, {0, 0}},
        {{flagged(8, 1), flagged(9, 1)}, true, book::ALL_AVOIDED, {0, 0}},
        // No main move: half score share (within 50 of the best), half weight share.
        // Score shares 50, 20, 0 of 70; weight shares 1, 3, 4 of 8.
        {{flagged(0, 1, 40), flagged(0, 3, 10), flagged(0, 4, -60), none}, false, 98, {41, 32, 25, 0}},
        // ... where avoid moves are not eligible and can leave nothing.
        {{flagged(4, 1, 100), flagged(0, 1, 0), none}, false, 50, {0, 50, 0}},
        {{flagged(12, 1), none}, false, 0, {0, 0}},
    };
    for (const Case &c : cases) {
        std::vector<BookChoice> moves = c.moves;
        EXPECT_EQ(book::bookPercentages(moves.data(), int(moves.size()), c.tournament), c.total);
        for (std::size_t i = 0; i < moves.size(); ++i)
            EXPECT_EQ(moves[i].percent, c.percent[i]) << "move " << i;
    }
}

TEST(BookSelection, TheSameSeedGivesTheSameChoicesAndTheChoicesFollowThePercentages) {
    setUp();
    handBook({{"e2e4", 12}, {"d2d4", 5}, {"c2c4", 2}, {"g1f3", 1}}); // 60, 25, 10 and 5 percent
    MoveEntry list[MAX_MOVES];
    int count;
    auto run = [&](int n, std::uint32_t seed) {
        book::seedBookRandom(seed);
        std::vector<std::string> chosen;
        for (int i = 0; i < n; ++i) {
            search::pvCacheClear(search::mainThread().pvCache);
            chosen.push_back(moveText(select(count, list)));
        }
        return chosen;
    };
    EXPECT_EQ(run(200, 7), run(200, 7));
    EXPECT_NE(run(200, 7), run(200, 8));
    std::map<std::string, int> seen;
    for (const std::string &m : run(10000, 2024))
        seen[m]++;
    const std::map<std::string, double> expected = {
        {"e2e4", 6000}, {"d2d4", 2500}, {"c2c4", 1000}, {"g1f3", 500}};
    double chiSquare = 0;
    for (const auto &[move, e] : expected)
        chiSquare += (seen[move] - e) * (seen[move] - e) / e;
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_LT(chiSquare, 11.34) << "3 degrees of freedom, 1% level";
}

TEST(BookSelection, ListCacheBlindnessAndAvoidMoves) {
    setUp();
    MoveEntry list[MAX_MOVES];
    int count;
    handBook({{"e2e4", 1}});
    Move e4 = TextToMove("e2e4");
    // The chosen move heads the cached list, which then holds only it.
    EXPECT_EQ(select(count, list), e4);
    MoveEntry cached[MAX_MOVES];
    int cachedCount = 0;
    ASSERT_GE(search::pvCacheLookup(search::mainThread().pvCache, search::mainThread().position, cached,
                                    cachedCount),
              0);
    EXPECT_EQ(entryMove(cached[0]), e4);
    EXPECT_EQ(cachedCount, 1);
    base::Options[base::OPTION_BLINDNESS_BOOK].value = 100;
    EXPECT_EQ(select(count, list), NO_MOVE);
    base::Options[base::OPTION_BLINDNESS_BOOK].value = 0;
    base::Options[base::OPTION_OWN_BOOK].value = 0;
    EXPECT_EQ(select(count, list), NO_MOVE);
    base::Options[base::OPTION_OWN_BOOK].value = 1;
    // Only avoid moves found: nothing chosen, and they leave the list and the cached list.
    search::pvCacheClear(search::mainThread().pvCache);
    Position &pos = search::mainThread().position;
    book::BookTable = {{book::bookKey(pos, TextToMove("b1c3")), 0, 12, 1},
                       {book::bookKey(pos, TextToMove("g2g3")), 0, 4, 1}};
    EXPECT_EQ(select(count, list), NO_MOVE);
    EXPECT_EQ(count, 18);
    for (int i = 0; i < count; ++i) {
        EXPECT_NE(entryMove(list[i]), TextToMove("b1c3"));
        EXPECT_NE(entryMove(list[i]), TextToMove("g2g3"));
    }
    ASSERT_GE(search::pvCacheLookup(search::mainThread().pvCache, pos, cached, cachedCount), 0);
    EXPECT_EQ(cachedCount, 18);
}

TEST(BookLoading, SamePathKeepsTheBookAndAMissingFileFallsBackToTheInternalBook) {
    testsupport::initOnce();
    testsupport::TempDirectory dir;
    std::vector<book::BookEntry> entries = {{1, 2, 3, 4}, {0x1122334455667788ull, -5, 1, 9}, {7, 0, 0, 0}};
    ASSERT_TRUE(book::writeBookFile(dir.file("three.vlb"), entries));
    dir.write("short.vlb", dir.read("three.vlb") + "12345"); // a part record at the end
    auto loadFrom = [](const std::string &path) {
        base::Options[base::OPTION_OWN_BOOK_PATH].text = path;
        return book::loadBook();
    };
    book::BookLoad load = loadFrom(dir.file("short.vlb"));
    EXPECT_EQ(load.outcome, book::BOOK_FILE_LOADED);
    EXPECT_EQ(load.entries, 3u);
    ASSERT_EQ(book::bookEntries(), 3u);
    EXPECT_EQ(book::BookTable[1].key, entries[1].key);
    EXPECT_EQ(book::BookTable[1].score, -5);
    EXPECT_EQ(book::BookTable[1].weight, 9);
    book::BookTable.clear();
    EXPECT_EQ(loadFrom(dir.file("short.vlb")).outcome, book::BOOK_UNCHANGED); // the same path: nothing read
    EXPECT_EQ(book::bookEntries(), 0u);
    std::string missing = dir.file("missing.vlb");
    load = loadFrom(missing);
    EXPECT_EQ(load.outcome, book::BOOK_INTERNAL);
    EXPECT_EQ(load.path, missing);
    EXPECT_GT(book::bookEntries(), 4000u);
}

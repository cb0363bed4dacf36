#include "position/fen.h"
#include "position/movegen.h"
#include "position/perft.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

using namespace position;

namespace {

std::vector<MoveEntry> stack(64 * MAX_MOVES);

std::uint64_t countFrom(const std::string &fen, int depth, bool bulk = true) {
    LoadFen(fen);
    Position pos = GamePosition;
    return perftCount(pos, depth, stack.data(), bulk);
}

// Every position of the published set, to the deepest depth that stays below a node budget.
TEST(Perft, PublishedCountsMatch) {
    testsupport::initOnce();
    auto records = testsupport::readPerftFile();
    ASSERT_EQ(records.size(), 86u);
    for (const auto &r : records) {
        int depth = 0;
        while (depth < int(r.counts.size()) && r.counts[std::size_t(depth)] < 400000) ++depth;
        ASSERT_GT(depth, 0) << r.fen;
        EXPECT_EQ(countFrom(r.fen, depth), r.counts[std::size_t(depth - 1)]) << r.fen << " depth " << depth;
    }
}

// Bulk counting at the last ply must agree with making every leaf move.
TEST(Perft, BulkAndFullCountsAgree) {
    testsupport::initOnce();
    auto records = testsupport::readPerftFile();
    for (std::size_t i = 0; i < records.size(); i += 7)
        EXPECT_EQ(countFrom(records[i].fen, 3, true), countFrom(records[i].fen, 3, false)) << records[i].fen;
}

TEST(Perft, SpecialPositions) {
    testsupport::initOnce();
    // En passant that would uncover a rank check onto the own king is illegal: Ka4 a6 b6, b6.
    EXPECT_EQ(countFrom("8/8/8/KPp4r/8/8/8/7k w - c6 0 1", 1), 4u);
    // In check from the queen on f1: exd3 e.p. blocks the diagonal (king: a4 a5 b4 b6 c6).
    EXPECT_EQ(countFrom("8/8/8/1k6/3Pp3/8/8/4KQ2 b - d3 0 1", 1), 6u);
    // In check from the pawn that just moved: exd3 e.p. takes it unless it opens the rank.
    EXPECT_EQ(countFrom("8/8/8/4k3/3Pp3/8/8/4K3 b - d3 0 1", 1), 8u);
    EXPECT_EQ(countFrom("8/8/8/3k4/1pP5/8/B7/4K3 b - c3 0 1", 1), 7u);
    EXPECT_EQ(countFrom("2K2r2/4P3/8/8/8/8/8/3k4 w - - 0 1", 6), 3821001u);        // promotion out of check
    EXPECT_EQ(countFrom("3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 6), 1134888u);        // discovered check
    EXPECT_EQ(countFrom("8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1", 6), 1440467u);      // en passant into check
    EXPECT_EQ(countFrom("5k2/8/8/8/8/8/8/4K2R w K - 0 1", 6), 661072u);             // castling gives check
    EXPECT_EQ(countFrom("r3k2r/1b4bq/8/8/8/8/7B/R3K2R w KQkq - 0 1", 4), 1274206u); // castling rights
    EXPECT_EQ(countFrom("r3k2r/8/3Q4/8/8/5q2/8/R3K2R b KQkq - 0 1", 4), 1720476u);  // castling through attack
    EXPECT_EQ(countFrom("8/P1k5/K7/8/8/8/8/8 w - - 0 1", 6), 92683u);              // under-promotion
    EXPECT_EQ(countFrom("8/k1P5/8/1K6/8/8/8/8 w - - 0 1", 7), 567584u);             // promotion stalemate
    EXPECT_EQ(countFrom("8/8/2k5/5q2/5n2/8/5K2/8 b - - 0 1", 4), 23527u);           // double check
    // Mated and stalemated positions count nothing; depth 0 is one node.
    EXPECT_EQ(countFrom("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", 3), 0u);
    EXPECT_EQ(countFrom("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 2), 0u);
    EXPECT_EQ(countFrom(START_FEN, 0), 1u);
}

} // namespace

#include "position/attacks.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

using namespace position;

namespace {

class AttackTables : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::initOnce(); }
};

// Every subset of every square's relevant occupancy, plus random outer bits, through the shared regions.
TEST_F(AttackTables, MagicLookupsEqualDirectionFills) {
    std::mt19937_64 rng(7);
    for (Square sq = 0; sq < 64; ++sq) {
        for (int rook = 0; rook < 2; ++rook) {
            Bitboard mask = rook ? rookRelevantMask(sq) : bishopRelevantMask(sq);
            Bitboard occ = 0;
            do {
                Bitboard full = occ | (rng() & ~mask & ~squareBit(sq));
                if (rook) {
                    ASSERT_EQ(RookAttacks(sq, full), slowRookAttacks(sq, full)) << sq;
                } else {
                    ASSERT_EQ(BishopAttacks(sq, full), slowBishopAttacks(sq, full)) << sq;
                }
                occ = (occ - mask) & mask;
            } while (occ);
        }
    }
}

// The attack sets themselves are checked above and by perft; what remains are the bit counts,
// with and without the processor's instruction (the portable build picks one at start-up, so
// the other would otherwise go untested on this machine), and the queen's lines.
TEST_F(AttackTables, BitCountsAndQueenLines) {
    std::mt19937_64 rng(5);
    for (int i = 0; i < 1000; ++i) {
        Bitboard b = rng() & rng();
        ASSERT_EQ(popCount(b), std::popcount(b)) << b;
        ASSERT_EQ(popCountPortable(b), std::popcount(b)) << b;
    }
    static_assert(popCountPortable(~Bitboard(0)) == 64 && popCountPortable(0) == 0);
    EXPECT_EQ(popCount(~Bitboard(0)), 64);
    for (Square sq = 0; sq < 64; ++sq)
        EXPECT_EQ(QueenLines[sq], RookLines[sq] | BishopLines[sq]);
}

} // namespace

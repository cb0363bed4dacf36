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
    EXPECT_EQ(rookRegionSize() + bishopRegionSize() > 0, true);
}

TEST_F(AttackTables, KnownSets) {
    // Rook and bishop on h1 on an empty board.
    EXPECT_EQ(RookAttacks(SQ_H1, 0), (RANK_MASK[0] | FILE_H) & ~squareBit(SQ_H1));
    EXPECT_EQ(BishopAttacks(SQ_H1, 0), 0x8040201008040201ULL & ~squareBit(SQ_H1));
    EXPECT_EQ(RookLines[SQ_H1], RookAttacks(SQ_H1, 0));
    // h1 and g2 share a region but still answer for themselves.
    EXPECT_EQ(rookGroup(SQ_H1), rookGroup(9));
    EXPECT_EQ(RookMagic[SQ_H1].region, RookMagic[9].region);
    EXPECT_EQ(RookAttacks(9, 0), RookLines[9]);
    // Pawn attacks: White h2 attacks g3 only, Black a7 attacks b6 only.
    EXPECT_EQ(PawnAttacksOf(WHITE, squareBit(8)), squareBit(textToSquare('g', '3')));
    EXPECT_EQ(PawnAttacksOf(BLACK, squareBit(textToSquare('a', '7'))), squareBit(textToSquare('b', '6')));
    // Rank attacks: rook e1 with pieces on b1 and g1.
    Bitboard occ = squareBit(SQ_B1) | squareBit(SQ_G1) | squareBit(SQ_E1);
    EXPECT_EQ(RankAttacksOf(SQ_E1, occ), squareBit(SQ_F1) | squareBit(SQ_G1) | squareBit(SQ_D1) |
                                             squareBit(SQ_C1) | squareBit(SQ_B1));
    // Step tables.
    EXPECT_EQ(popCount(KnightAttacks[SQ_H1]), 2);
    EXPECT_EQ(popCount(KnightAttacks[27]), 8);
    EXPECT_EQ(popCount(KingAttacks[SQ_A8]), 3);
    // Bit counts, with and without the processor's instruction (the portable build picks one at
    // start-up, so the other would otherwise go untested on this machine).
    std::mt19937_64 rng(5);
    for (int i = 0; i < 1000; ++i) {
        Bitboard b = rng() & rng();
        ASSERT_EQ(popCount(b), std::popcount(b)) << b;
        ASSERT_EQ(popCountPortable(b), std::popcount(b)) << b;
    }
    static_assert(popCountPortable(~Bitboard(0)) == 64 && popCountPortable(0) == 0);
    EXPECT_EQ(popCount(~Bitboard(0)), 64);
    EXPECT_EQ(popCount(0), 0);
    EXPECT_EQ(KnightAttacks[SQ_G1], squareBit(textToSquare('h', '3')) | squareBit(textToSquare('f', '3')) |
                                        squareBit(SQ_E1 + 8));
    for (Square sq = 0; sq < 64; ++sq) EXPECT_EQ(QueenLines[sq], RookLines[sq] | BishopLines[sq]);
}

} // namespace

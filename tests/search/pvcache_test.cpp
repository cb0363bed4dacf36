#include "helpers.h"

#include "search/pvcache.h"

#include <gtest/gtest.h>

#include <vector>

using namespace position;
using namespace search;

namespace {

PvCacheState cache; // a thread's cache

std::vector<MoveEntry> listOf(std::initializer_list<std::pair<Move, int>> moves) {
    std::vector<MoveEntry> list(MAX_MOVES, 0);
    int i = 0;
    for (auto [m, s] : moves)
        list[std::size_t(i++)] = makeEntry(m, s);
    return list;
}

Position keyed(std::uint64_t key, Colour side) {
    Position pos{};
    pos.key = key;
    pos.sideToMove = side;
    return pos;
}

} // namespace

TEST(PvCache, StoresAndFindsListsFromEitherSide) {
    pvCacheClear(cache);
    Move e2e4 = searchtest::mv("e2e4"), e7e5 = searchtest::mv("e7e5");
    auto list = listOf({{e7e5, 32767}, {searchtest::mv("d7d5"), 12}});
    Position black = keyed(0xABCDEF, BLACK);
    pvCacheStore(cache, black, cache.used, list.data(), 2);
    EXPECT_EQ(cache.used, 1);
    // Stored as seen from White.
    EXPECT_EQ(entryMove(cache.slots[0].moves[0]), e2e4);

    std::vector<MoveEntry> out(MAX_MOVES);
    int count = 0;
    EXPECT_EQ(pvCacheLookup(cache, black, out.data(), count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(entryMove(out[0]), e7e5);
    EXPECT_EQ(entryScore(out[0]), 32767);
    EXPECT_EQ(entryScore(out[1]), 12);
    // The colour-mirrored twin has the same key and reads the moves for White.
    EXPECT_EQ(pvCacheLookup(cache, keyed(0xABCDEF, WHITE), out.data(), count), 0);
    EXPECT_EQ(entryMove(out[0]), e2e4);
    EXPECT_EQ(pvCacheLookup(cache, keyed(0x123, WHITE), out.data(), count), -1);
    // Slots past the capacity are ignored.
    pvCacheStore(cache, black, PV_CACHE_CAPACITY, list.data(), 2);
    EXPECT_EQ(cache.used, 1);
    EXPECT_EQ(pvCacheFill(cache), 1000 / PV_CACHE_CAPACITY);
}

// Aging keeps the slots used since the last aging and fills the holes from the back.
TEST(PvCache, AgingKeepsRecentlyUsedSlotsAndPacksThem) {
    pvCacheClear(cache);
    auto list = listOf({{searchtest::mv("g1f3"), 1}});
    for (std::uint64_t key = 1; key <= 6; ++key)
        pvCacheStore(cache, keyed(key, WHITE), cache.used, list.data(), 1);
    pvCacheAge(cache); // everything survives one aging
    EXPECT_EQ(cache.used, 6);
    std::vector<MoveEntry> out(MAX_MOVES);
    int count;
    EXPECT_EQ(pvCacheLookup(cache, keyed(5, WHITE), out.data(), count), 4);
    for (std::uint64_t key : {2, 6})
        pvCacheLookup(cache, keyed(key, WHITE), out.data(), count);
    pvCacheAge(cache); // the others reach age 0 and go
    EXPECT_EQ(cache.used, 3);
    for (std::uint64_t key : {2, 5, 6}) {
        int slot = pvCacheLookup(cache, keyed(key, WHITE), out.data(), count);
        EXPECT_TRUE(slot >= 0 && slot < 3) << key << " in slot " << slot;
    }
    for (std::uint64_t key : {1, 3, 4})
        EXPECT_EQ(pvCacheLookup(cache, keyed(key, WHITE), out.data(), count), -1);
    for (int i = 0; i < 3; ++i)
        pvCacheAge(cache);
    EXPECT_EQ(cache.used, 0);
}

#include "search/pvcache.h"

#include <cstring>

namespace search {

using namespace position;

namespace {

constexpr std::uint8_t AGE_USED = 2; // survives two agings after its last use

void copyMoves(MoveEntry *to, const MoveEntry *from, bool mirror) {
    if (!mirror) {
        std::memcpy(to, from, sizeof(MoveEntry) * MAX_MOVES);
        return;
    }
    for (int i = 0; i < MAX_MOVES; ++i)
        to[i] = from[i] ^ MIRROR_MOVE;
}

} // namespace

int pvCacheLookup(PvCacheState &cache, const Position &pos, MoveEntry *list, int &count) {
    for (int slot = 0; slot < cache.used; ++slot) {
        PvCacheSlot &s = cache.slots[slot];
        if (s.key != pos.key) continue;
        copyMoves(list, s.moves, pos.sideToMove == BLACK);
        s.age |= AGE_USED;
        count = s.count;
        return slot;
    }
    return -1;
}

void pvCacheStore(PvCacheState &cache, const Position &pos, int slot, const MoveEntry *list, int count) {
    if (slot < 0 || slot >= PV_CACHE_CAPACITY) return;
    if (slot == cache.used) ++cache.used;
    PvCacheSlot &s = cache.slots[slot];
    copyMoves(s.moves, list, pos.sideToMove == BLACK);
    s.age |= AGE_USED;
    s.key = pos.key;
    s.count = std::uint8_t(count);
}

void pvCacheAge(PvCacheState &cache) {
    int used = cache.used;
    for (int i = 0; i < used; ++i)
        cache.slots[i].age >>= 1;
    int front = 0, back = used - 1;
    for (;;) {
        while (front < back && cache.slots[front].age != 0)
            ++front;
        while (back > front && cache.slots[back].age == 0)
            --back;
        if (front >= back) break;
        cache.slots[front] = cache.slots[back];
        cache.slots[back].age = 0;
        ++front;
        --back;
    }
    while (used > 0 && cache.slots[used - 1].age == 0)
        --used;
    cache.used = used;
}

void pvCacheReplace(PvCacheState &cache, const Position &pos, const MoveEntry *list, int count) {
    MoveEntry scratch[MAX_MOVES];
    int cached = 0;
    int slot = pvCacheLookup(cache, pos, scratch, cached);
    pvCacheStore(cache, pos, slot >= 0 ? slot : cache.used, list, count);
}

void pvCacheClear(PvCacheState &cache) { std::memset(static_cast<void *>(&cache), 0, sizeof(cache)); }

int pvCacheFill(const PvCacheState &cache) { return cache.used * 1000 / PV_CACHE_CAPACITY; }

} // namespace search

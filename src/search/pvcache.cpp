#include "search/pvcache.h"

#include <cstring>

namespace search {

using namespace position;

PvCacheState PvCache;

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

int pvCacheLookup(const Position &pos, MoveEntry *list, int &count) {
    for (int slot = 0; slot < PvCache.used; ++slot) {
        PvCacheSlot &s = PvCache.slots[slot];
        if (s.key != pos.key) continue;
        copyMoves(list, s.moves, pos.sideToMove == BLACK);
        s.age |= AGE_USED;
        count = s.count;
        return slot;
    }
    return -1;
}

void pvCacheStore(const Position &pos, int slot, const MoveEntry *list, int count) {
    if (slot < 0 || slot >= PV_CACHE_CAPACITY) return;
    if (slot == PvCache.used) ++PvCache.used;
    PvCacheSlot &s = PvCache.slots[slot];
    copyMoves(s.moves, list, pos.sideToMove == BLACK);
    s.age |= AGE_USED;
    s.key = pos.key;
    s.count = std::uint8_t(count);
}

void pvCacheAge() {
    int used = PvCache.used;
    for (int i = 0; i < used; ++i)
        PvCache.slots[i].age >>= 1;
    int front = 0, back = used - 1;
    for (;;) {
        while (front < back && PvCache.slots[front].age != 0)
            ++front;
        while (back > front && PvCache.slots[back].age == 0)
            --back;
        if (front >= back) break;
        PvCache.slots[front] = PvCache.slots[back];
        PvCache.slots[back].age = 0;
        ++front;
        --back;
    }
    while (used > 0 && PvCache.slots[used - 1].age == 0)
        --used;
    PvCache.used = used;
}

void pvCacheClear() { std::memset(static_cast<void *>(&PvCache), 0, sizeof(PvCache)); }

int pvCacheFill() { return PvCache.used * 1000 / PV_CACHE_CAPACITY; }

} // namespace search

// The PV move-list cache: the ordered move lists of PV nodes, kept between searches. Moves are
// stored as seen from White (ranks flipped when Black is to move), matching the colour-symmetric key.
#pragma once

#include "position/movegen.h"
#include "position/position.h"

#include <cstdint>

namespace search {

constexpr int PV_CACHE_CAPACITY = 1024;
constexpr position::Move MIRROR_MOVE = 0xE38; // flips the ranks of both squares

struct PvCacheSlot {
    std::uint64_t key;
    position::MoveEntry moves[position::MAX_MOVES];
    std::uint8_t count;
    std::uint8_t age;
};

struct PvCacheState {
    PvCacheSlot slots[PV_CACHE_CAPACITY];
    std::int32_t used;
};
extern PvCacheState PvCache;

// On a hit copies the slot's list into `list` (256 entries) and answers the slot and its count.
int pvCacheLookup(const position::Position &pos, position::MoveEntry *list, int &count);
// Stores `list` at `slot`; a slot at or beyond the capacity is ignored.
void pvCacheStore(const position::Position &pos, int slot, const position::MoveEntry *list, int count);
// Halves every age and packs the surviving slots to the front.
void pvCacheAge();
void pvCacheClear();
// Per-mille of the slots in use.
int pvCacheFill();

} // namespace search

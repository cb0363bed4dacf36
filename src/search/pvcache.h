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

// One per search thread.
struct PvCacheState {
    PvCacheSlot slots[PV_CACHE_CAPACITY];
    std::int32_t used;
};

// On a hit copies the slot's list into `list` (256 entries) and answers the slot and its count.
int pvCacheLookup(PvCacheState &cache, const position::Position &pos, position::MoveEntry *list, int &count);
// Stores `list` at `slot`; a slot at or beyond the capacity is ignored.
void pvCacheStore(PvCacheState &cache, const position::Position &pos, int slot,
                  const position::MoveEntry *list, int count);
// Stores `list` as the position's list: in the slot it already has, else in a new one. What the
// root is restricted to ("searchmoves", the book) reaches the search this way.
void pvCacheReplace(PvCacheState &cache, const position::Position &pos, const position::MoveEntry *list,
                    int count);
// Halves every age and packs the surviving slots to the front.
void pvCacheAge(PvCacheState &cache);
void pvCacheClear(PvCacheState &cache);
// Per-mille of the slots in use.
int pvCacheFill(const PvCacheState &cache);

} // namespace search

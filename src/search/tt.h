// The transposition table: one 16-byte entry per index, no buckets, unconditional replacement.
// A check word binds the key to the entry's data, so foreign or torn entries do not verify.
#pragma once

#include "base/prefetch.h"
#include "position/position.h"
#include "search/frame.h"

#include <cstdint>

namespace search {

struct HashEntry {
    std::uint64_t check; // key ^ side ^ score ^ move ^ depth ^ bound
    std::int16_t score;  // mate scores as distance from the storing node
    std::uint16_t move;
    std::uint8_t colour; // engine colour when stored
    std::uint8_t depth;  // whole plies
    std::uint8_t bound;
    std::uint8_t unused;
};
static_assert(sizeof(HashEntry) == 16);

struct HashTableState {
    HashEntry *entries;
    std::uint64_t mask; // entry count - 1; 0 means no table
    std::uint64_t filled;
};
extern HashTableState HashTable;

constexpr std::uint64_t ENTRIES_PER_MB = 65536;
// Scores are not trusted (and not stored) once the fifty-move counter passes this.
constexpr std::uint32_t FIFTY_TRUST_LIMIT = 75;

// (Re)allocates the table from the "Hash" setting and zeroes it; without memory there is no
// table, and the answer is false.
bool allocateHash();
// Zeroes the main table and every thread's pawn table and PV move-list cache, with their counts.
void clearHash();
// What a change of the "Hash" option does: the main table, the pawn tables and the PV caches
// anew. False when the main table could not be had.
bool resizeHashTables();

struct ProbeResult {
    position::Move move; // 0 when the entry did not verify
    int score;           // NO_SCORE when not usable
};

// The one entry a key may live in (the table must exist).
inline HashEntry *entryFor(std::uint64_t key) { return &HashTable.entries[key & HashTable.mask]; }

// Starts loading a position's entry into the cache; the probe that follows a little later then
// finds it there instead of waiting on memory.
inline void prefetchEntry(std::uint64_t key) {
    if (HashTable.mask) base::prefetch(entryFor(key));
}

ProbeResult probeScout(const position::Position &pos, int ply, int depth, int beta);
ProbeResult probePv(const position::Position &pos, int ply, int depth, int alpha, int beta);
void store(const position::Position &pos, int ply, int depth, int score, int bound, position::Move move);
// Looks for a child whose table entry already refutes it; on success sets frame.bestMove.
// Generates the node's moves into frame.moves (ordered by `history`) when they are not there yet.
int enhancedCutoff(position::Position &pos, SearchFrame &frame, int ply, int beta,
                   const std::int16_t *history);

// Per-mille fill of the main table, or -1 without a table.
int mainTableFill();

} // namespace search

// The transposition table: one 16-byte entry per index, no buckets, unconditional replacement.
// A check word binds the key to the entry's data, so foreign or torn entries do not verify: the
// searching threads share the table without locks.
#pragma once

#include "base/prefetch.h"
#include "position/position.h"
#include "search/frame.h"

#include <atomic>
#include <cstdint>

namespace search {

struct SearchThread;

// What an entry holds besides its check word.
struct HashData {
    std::int16_t score; // mate scores as distance from the storing node
    std::uint16_t move;
    std::uint8_t colour; // engine colour when stored
    std::uint8_t depth;  // whole plies
    std::uint8_t bound;
};

// Two words, each read and written whole by any thread; an entry whose words come from two
// different stores fails its check.
struct HashEntry {
    std::atomic<std::uint64_t> check; // key ^ side ^ score ^ move ^ depth ^ bound; 0 when empty
    std::atomic<std::uint64_t> data;  // HashData: score, move, colour, depth, bound from bit 0 up
};
static_assert(sizeof(HashEntry) == 16);

inline std::uint64_t packHashData(const HashData &d) {
    return std::uint64_t(std::uint16_t(d.score)) | std::uint64_t(d.move) << 16 |
           std::uint64_t(d.colour) << 32 | std::uint64_t(d.depth) << 40 | std::uint64_t(d.bound) << 48;
}
inline HashData unpackHashData(std::uint64_t w) {
    return {std::int16_t(std::uint16_t(w)), std::uint16_t(w >> 16), std::uint8_t(w >> 32),
            std::uint8_t(w >> 40), std::uint8_t(w >> 48)};
}

struct HashTableState {
    HashEntry *entries;
    std::uint64_t mask; // entry count - 1; 0 means no table
};
extern HashTableState HashTable;

constexpr std::uint64_t ENTRIES_PER_MB = 65536;
// Scores are not trusted (and not stored) once the fifty-move counter passes this.
constexpr std::uint32_t FIFTY_TRUST_LIMIT = 75;

// (Re)allocates the table from the "Hash" setting and zeroes it (on every searching thread);
// without memory there is no table, and the answer is false.
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
// The entry of pos, when one verifies.
bool readHashEntry(const position::Position &pos, HashData &out);
// Stores for the thread, which counts the entries it fills.
void store(SearchThread &thread, const position::Position &pos, int ply, int depth, int score, int bound,
           position::Move move);
// Looks for a child whose table entry already refutes it; on success sets frame.bestMove.
// Generates the node's moves into frame.moves (ordered by `history`) when they are not there yet.
int enhancedCutoff(position::Position &pos, SearchFrame &frame, int ply, int beta,
                   const std::int16_t *history);

// Per-mille fill of the main table (entries filled by all threads), or -1 without a table.
int mainTableFill();

} // namespace search

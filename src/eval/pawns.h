// Pawn skeleton: passed pawns (every evaluation) and the cached pawn structure.
#pragma once

#include "position/position.h"

#include <cstdint>

namespace eval {

// Sets passedPawns for both colours; returns the weighted passed-pawn score (White's view).
int passedPawnScore(position::Position &pos);
// Unweighted value of one pawn as a passer on sq (needs the pawn attack maps of the scratch).
int passedPawnTerm(const position::Position &pos, position::Square sq, position::Colour c);
struct PawnHashEntry {
    std::uint64_t check; // pawn key ^ sign-extended (mid ^ end); 0 marks an empty entry
    std::int16_t mid;
    std::int16_t end;
};

constexpr std::uint32_t PAWN_HASH_ENTRIES = 65536;

// A search thread's cache of pawn-structure scores. Without memory (entries null) every pawn
// structure is computed afresh.
struct PawnTable {
    PawnHashEntry *entries = nullptr;
    std::uint32_t used = 0; // stores into empty entries; feeds the hash-fill report
};

// (Re)creates the table zeroed; on allocation failure the table is disabled.
void allocatePawnTable(PawnTable &table);
void freePawnTable(PawnTable &table);
void clearPawnTable(PawnTable &table);
// Per-mille of the entries in use.
int pawnTableFill(const PawnTable &table);

// Sets pawnMid and pawnEnd (White's view), through `table` when one is given.
void evaluatePawns(position::Position &pos, PawnTable *table);
// Starts loading the entry of a pawn key (after a move, ahead of the evaluation).
void prefetchPawnEntry(const PawnTable &table, std::uint64_t pawnKey);

} // namespace eval

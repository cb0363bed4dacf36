// Pawn skeleton: passed pawns (every evaluation) and the cached pawn structure.
#pragma once

#include "position/position.h"

#include <cstdint>

namespace eval {

// Sets passedPawns for both colours; returns the weighted passed-pawn score (White's view).
int passedPawnScore(position::Position &pos);
// Unweighted value of one pawn as a passer on sq (needs the pawn attack maps of the scratch).
int passedPawnTerm(const position::Position &pos, position::Square sq, position::Colour c);
// Sets pawnMid and pawnEnd (White's view), through the pawn hash.
void evaluatePawns(position::Position &pos);
// Starts loading the pawn-hash entry of a pawn key (after a move, ahead of the evaluation).
void prefetchPawnEntry(std::uint64_t pawnKey);

constexpr std::uint32_t PAWN_HASH_ENTRIES = 65536;
// Stores into empty entries; feeds the hash-fill report.
extern std::uint32_t pawnHashUsed;

// (Re)creates the table zeroed; on allocation failure the table is disabled.
void allocatePawnHash();
void clearPawnHash();
// Entries are stored only while this is on: the search turns it on for its run and off after,
// so that the evaluation report never writes to the table.
void setPawnHashStore(bool on);
bool pawnHashStoreEnabled();

} // namespace eval

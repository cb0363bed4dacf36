// The fill report selected by the "Hashfull" option.
#pragma once

namespace search {

// Per-mille fill of the selected table, or -1 when nothing is to be reported.
int hashfull();
// The pawn hash table belongs to the evaluation; it reports its fill through this hook
// (per-mille, -1 without a table).
extern int (*PawnTableFill)();

} // namespace search

// The fill report selected by the "Hashfull" option.
#pragma once

namespace search {

// Per-mille fill of the selected table (the main thread's, for the pawn and PV tables), or -1
// when nothing is to be reported.
int hashfull();

} // namespace search

// What the search asks of the layers above it: the opening book and the endgame tablebases.
// Start-up installs the real functions; until then the defaults answer "nothing known".
#pragma once

#include "position/position.h"

namespace search {

struct SearchHooks {
    // The root driver's instant move (book, single reply, dead draw, quick repetition); prints
    // book information when `print` is set. NO_MOVE to search.
    position::Move (*rootBookMove)(bool print);
    // A book move for the position `list` belongs to (may shorten the list); NO_MOVE when none.
    position::Move (*selectBookMove)(position::MoveEntry *list, int &count, bool print);
    // True with the score (side to move's view, mate scores relative to the root at `ply`) when
    // a registered table covers the position.
    bool (*probeTablebase)(const position::Position &pos, int ply, int &score);
};

extern SearchHooks Hooks;

} // namespace search

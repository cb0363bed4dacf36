// What the search asks of the layers above it: the opening book, the endgame tablebases and the
// command loop. Start-up installs the real functions; until then the defaults answer "nothing
// known" and read no input.
#pragma once

#include "position/position.h"

namespace search {

struct SearchThread;

struct SearchHooks {
    // The root driver's instant move (book, single reply, dead draw, quick repetition) for the
    // thread's position; shows the book's choice when `print` is set. NO_MOVE to search.
    position::Move (*rootBookMove)(SearchThread &thread, bool print);
    // A book move for the thread's position, whose legal moves `list` holds (may shorten the
    // list); NO_MOVE when none.
    position::Move (*selectBookMove)(SearchThread &thread, position::MoveEntry *list, int &count, bool print);
    // True with the score (side to move's view, mate scores relative to the root at `ply`) when
    // a registered table covers the position.
    bool (*probeTablebase)(const position::Position &pos, int ply, int &score);
    // The same for the win/draw/loss tables: true with a table win or loss score (beyond every
    // evaluation, short of the mate range) or the node's draw score.
    bool (*probeWinDrawLoss)(const position::Position &pos, int ply, int &score);
    // Reads and runs the commands that have arrived (the main thread calls it while it searches).
    void (*readInput)();
};

extern SearchHooks Hooks;

// The default of readInput: measurements and in-process tests read no commands.
void readNoInput();

} // namespace search

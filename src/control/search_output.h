// The search's reports in the words of the protocol in use: the console header, the information
// lines, the current move and line, the table fill, and the move the search decided on.
#pragma once

#include <cstddef>

namespace control {

// Set by the xboard ponder loop: a ponder search's move is not announced.
extern bool suppressMoveOutput;

// Installs the report hooks the search calls while it runs.
void connectSearchOutput();

// After a search: prints what it left in the output slots, then its move (with the expected
// reply when there is one) and empties the slots. `moved` is false for a root without legal
// moves, which only a UCI interface hears about ("bestmove 0000").
void announceMove(bool moved);

// "mate N" (in moves, negative when mated) or "cp N".
void formatScore(char *out, std::size_t size, int score);

} // namespace control

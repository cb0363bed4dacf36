// The term-by-term evaluation report of the "eval" command.
#pragma once

#include "position/position.h"

namespace eval {

// Prints the report for the game position (for search thread 0's current position while a
// search runs) to stdout. Works on a copy and never stores into the pawn hash.
void printEvaluation();
// The same for a given position record (its scratch fields are overwritten).
void printEvaluation(position::Position &pos);

// "white %5d, black %5d total %5d \n".
void pairLine(int white, int black);

} // namespace eval

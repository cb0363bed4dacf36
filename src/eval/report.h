// The term-by-term evaluation report of the "eval" command.
#pragma once

#include "position/position.h"

namespace eval {

// Evaluates the game position in search thread 0's record and prints the report to stdout.
// Never stores into the pawn hash.
void printEvaluation();
// The same for a given position record (its scratch fields are overwritten).
void printEvaluation(position::Position &pos);

// "white %5d, black %5d total %5d \n".
void pairLine(int white, int black);

} // namespace eval

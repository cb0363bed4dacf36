// The term-by-term evaluation report of the "eval" command.
#pragma once

#include "position/position.h"

namespace eval {

// Prints the report for the position to stdout (its scratch fields are overwritten). Never
// stores into the pawn hash.
void printEvaluation(position::Position &pos);

// "white %5d, black %5d total %5d \n".
void pairLine(int white, int black);

} // namespace eval

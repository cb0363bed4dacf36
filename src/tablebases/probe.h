// The search's entry point into the endgame tablebases.
#pragma once

#include "position/position.h"

namespace tablebases {

// Looks the position up in the registered tables. Answers false when no table covers it;
// otherwise stores the score (side to move's view, mate scores relative to the root ply).
bool ProbeTablebase(const position::Position &pos, int ply, int &score);

// Number of tables registered from the "NalimovPath" directories.
int registeredTableCount();

} // namespace tablebases

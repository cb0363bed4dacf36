// Start-up sequence and the endless command loop.
#pragma once

namespace control {

// Builds every table and sets the start position (everything before the first command is read).
void initEngine();
// initEngine, then reads and executes commands until quit or end of input.
int runEngine();

} // namespace control

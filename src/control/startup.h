// Start-up sequence and the endless command loop.
#pragma once

namespace control {

// Builds every table, applies the option defaults (and default.ini from the working directory)
// and sets the start position: everything before the first command is read. Reads no input.
void initEngine();
// Builds the options table and gives every option its default group by group, which runs the
// handlers and finally reads the INI file "default.ini" from the working directory.
void applyOptionDefaults();
// Prints the banner, prepares the console, runs initEngine, then reads and executes commands
// until "quit" or the end of input.
int runEngine();

} // namespace control

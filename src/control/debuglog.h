// The debug log debug.txt: while "Debug" is on, input lines, flushed search output and the main
// protocol replies are appended, each stamped with the milliseconds since debug mode began.
#pragma once

#include <cstdint>
#include <string_view>

namespace control {

inline constexpr const char *DEBUG_LOG_FILE = "debug.txt";

// Milliseconds when debug mode was last switched on.
extern std::uint64_t DebugStartTime;
// True until debug mode is first switched on.
extern bool DebugStopped;

// "Debug" handler: writes the start or stop block.
void DebugModeChanged();
// With "Debug" on, appends "%7llu: <line>\n". Writers call it without testing the option.
void debugLine(std::string_view line);
// With "Debug" on, logs every line of a block of output text (the flushed search output).
void debugLines(std::string_view text);

} // namespace control

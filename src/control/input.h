// The command loop: reads one line at a time from standard input (a console or a pipe) and
// dispatches it. The search's poll calls ProcessInput while it runs, so commands such as "stop"
// run from inside a search; there is no input thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace control {

inline constexpr std::size_t PENDING_INPUT_SIZE = 65536; // text plus its terminating NUL

// Bytes read but not yet consumed as lines, and lines put back by re-queueing.
extern char PendingInput[PENDING_INPUT_SIZE];
extern std::size_t PendingLength;
// True when standard input is not a console (decided once by setupConsole).
extern bool PipeInput;

// Where the loop's bytes come from: standard input by default; the fuzz targets feed their own.
struct InputSource {
    long (*read)(char *buffer, unsigned long size); // as platform::readInput
    bool (*waiting)();                              // true when a read will not block
};
void setInputSource(const InputSource &source);

// Empties the pending input and the output slots (start-up; tests).
void resetInput();
// Tells a console from a pipe and prepares the streams; call once before reading.
void setupConsole();

// Reads at most one line if one is available, dispatches it, then flushes (not forced).
// Ends the program with exit code 0 at end of input once no search runs and no line is left.
void ProcessInput();
// True when reading a line will not block a running search.
bool InputAvailable();

// Stops the search and puts `line` back in front of the pending input, to run once the search
// has unwound.
void requeueLine(std::string_view line);
// Takes the next complete line from PendingInput (line end and a CR before it removed) into
// `out`; false when there is none. Exposed for tests of the buffer mechanics.
bool takePendingLine(char *out, std::size_t capacity, std::size_t &length);

} // namespace control

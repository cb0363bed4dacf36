// The only place with operating-system calls: console versus pipe input, an "is input
// waiting" test, the two clocks and directory listing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// True when standard input is an interactive console (a terminal), false for a pipe or file.
bool stdinIsConsole();
// True when standard error is a terminal (progress bars are drawn only there).
bool stderrIsConsole();
// Console set-up: drop window and mouse events and pending console input (no-op where not needed).
void prepareConsole();
// Reports whether a read from standard input would not block. A failed test counts as "waiting"
// so the caller's read discovers the failure (for example end of input).
bool inputWaiting();
// The same test for a console while a search runs: true only when a typed line can be read
// without blocking (where the console cannot tell, false, and the search is not interrupted).
bool consoleLineWaiting();
// Reads up to `size` bytes from standard input, retrying interrupted reads.
// Returns the count, 0 at end of input, -1 on an error.
long readInput(char *buffer, unsigned long size);
// Milliseconds of the wall clock and of the process's CPU time (kernel plus user).
std::uint64_t wallClockMs();
std::uint64_t processTimeMs();
// Names (without directory) of the regular files in `directory` whose names end with `suffix`.
std::vector<std::string> listFiles(const std::string &directory, const std::string &suffix);
// Moves a file's read position to `offset` bytes from its start (offsets beyond 2^31 included).
bool seekFile(std::FILE *file, std::uint64_t offset);
// Memory for a big table that is read at random (the transposition table): aligned to 2 MB and,
// where the system offers it, backed by large pages, which spare most address-translation misses.
// Returns nullptr when there is not enough memory. Free it only with freeLargeTable.
void *allocateLargeTable(std::size_t bytes);
void freeLargeTable(void *table);
// The separator between directory and file names.
char pathSeparator();
// The separator between the folders of a search path (":" here, ";" on Windows).
char pathListSeparator();

// A new folder only this process uses, under TMPDIR (or the system's temporary folder); empty
// when none can be made. removeFolder deletes it with the files and links in it.
std::string makePrivateFolder(const char *prefix);
void removeFolder(const std::string &folder);
// A link at `link` to the file `target` (an absolute path); false when it cannot be made.
bool linkFile(const std::string &target, const std::string &link);
// The absolute form of a path (the path itself when it cannot be resolved).
std::string absolutePath(const std::string &path);
// The folder of the running program (empty when the system cannot tell).
std::string programFolder();

// Gives the calling thread a lower scheduling priority than the process's other threads: when
// there are more threads than processors, those of normal priority run first.
void lowerThreadPriority();

// Sends standard error to nowhere while a library that reports to it works; the returned
// handle gives it back (restoreErrorOutput).
int silenceErrorOutput();
void restoreErrorOutput(int saved);

// Runs work(arg, report) in a copy of this process whose standard output and error are captured,
// so that a library that crashes or prints on bad input harms only the copy. The copy adds its
// own lines to the captured text with sendReport(report, line); they keep their order with what
// the library printed. `completed` is false when the copy ended by a signal or could not be
// started (`started` false).
struct IsolatedRun {
    bool started = false;
    bool completed = false;
    std::string output;
};
IsolatedRun runIsolated(void (*work)(void *arg, int report), void *arg);
void sendReport(int report, const std::string &line);

} // namespace platform

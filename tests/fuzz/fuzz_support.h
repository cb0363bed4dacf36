// Shared by the fuzz targets: an engine set up once per process (quiet, in a scratch folder,
// with a small hash), option values put back between inputs, and the position invariants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// A failed invariant: reports it and aborts, which the fuzzer records as a crash.
#define FUZZ_CHECK(condition) ((condition) ? void(0) : fuzz::fail(#condition, __FILE__, __LINE__))
[[noreturn]] void fail(const char *what, const char *file, int line);

// Once per process: the engine's tables and options, standard output to /dev/null, a fresh
// working folder (debug.txt, INI and book files land there), Hash at 1 MB and the Hash and
// NalimovCache handlers disarmed (the resource-limit script measures those).
void initEngineOnce();
// Puts every option back to its value after initEngineOnce (running handlers only for those
// that changed), the game to the start position, the search idle and the tables cleared.
void resetEngine();

// The input cut at its line ends; the last piece may have none.
std::vector<std::string_view> splitLines(std::string_view data);
// Writes `bytes` to `name` in the working folder.
void writeFile(const std::string &name, std::string_view bytes);

// The game position is consistent, and making and unmaking each legal move (and the null move)
// keeps it so and restores it exactly.
void checkGamePosition();

} // namespace fuzz

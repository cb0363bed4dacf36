// Commands that start or steer a search: UCI "go" and "ponderhit", and the console speed and
// test-suite commands "bench", "profile" and "analyze".
#pragma once

#include <string_view>

namespace control {

void goCommand(std::string_view line);
void ponderhitCommand(std::string_view line);
void benchCommand(std::string_view line);
[[noreturn]] void profileCommand(std::string_view line);
void analyzeCommand(std::string_view line);
// The console "eval" command: the evaluation report of the game position.
void evalCommand(std::string_view line);

// The depth "bench" and "profile" use when the line gives none.
inline constexpr int DEFAULT_BENCH_DEPTH = 12;

} // namespace control

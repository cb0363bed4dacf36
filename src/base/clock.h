// The engine's millisecond clock: wall-clock time, or the process's CPU time when the
// "Process Time" option is on.
#pragma once

#include <cstdint>

namespace base {

std::uint64_t GetTimeMs();

} // namespace base

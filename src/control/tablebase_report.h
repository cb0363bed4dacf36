// Tablebase news as the interfaces hear it.
#pragma once

namespace control {

// The tablebases' message hook: "info string ..." under UCI, plain text otherwise. During a
// search the line goes out with the search output; otherwise it is printed at once and logged.
void printTablebaseMessage(const char *text);

} // namespace control

// Tablebase news as the interfaces hear it.
#pragma once

#include "tablebases/registry.h"

namespace control {

// The tablebases' news hook: "info string ..." under UCI, plain text otherwise. During a search
// the line goes out with the search output; otherwise it is printed at once and logged.
void printTablebaseNews(const tablebases::TablebaseNews &news);
// What helper threads' probes had to say, printed by the main thread (the command loop).
void printQueuedTablebaseNews();

} // namespace control

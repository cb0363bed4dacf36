// Tablebase news as the interfaces hear it.
#pragma once

#include "tablebases/registry.h"

namespace control {

// The tablebases' news hook: "info string ..." under UCI, plain text otherwise. During a search
// the line goes out with the search output; otherwise it is printed at once and logged.
void printTablebaseNews(const tablebases::TablebaseNews &news);
// The "SyzygyPath" handler: loads the tables, reports the files left out and a summary line.
void loadSyzygyAndReport();
// The other Syzygy options as the search reads them.
void applySyzygySettings();
// What helper threads' probes had to say, printed by the main thread (the command loop).
void printQueuedTablebaseNews();

} // namespace control

// What the main thread reports while it searches. The search builds the records; the command
// layer installs the hooks that turn them into protocol lines (the defaults are silent).
#pragma once

#include "position/types.h"

#include <cstdint>

namespace search {

constexpr int MAX_PV_LENGTH = 1000;

struct PvLine {
    position::Move moves[MAX_PV_LENGTH];
    std::uint32_t count;
};

// One line of the principal variation with the search's progress.
struct PvReport {
    std::int32_t multipvIndex; // 1 for the best line
    std::int32_t depth;        // plies of the running iteration
    std::int32_t score;
    std::uint64_t elapsed; // ms since the search started
    std::uint64_t nodes;
    std::uint64_t tableHits; // endgame-table probes that answered
    const PvLine *pv;
};

struct SearchReports {
    void (*searchStarted)();
    void (*principalVariation)(const PvReport &report);
    // A root move of the full-depth pass about to be searched; moveIndex counts from 0.
    void (*currentMove)(position::Move move, int moveIndex, int depth, std::uint64_t nodes);
    // The moves from the root to the node just entered.
    void (*currentLine)(const position::Move *moves, int count);
    // Per-mille fill of the table the "Hashfull" option selects, every 65536 nodes.
    void (*hashFull)(int permille);
};

extern SearchReports Reports;

} // namespace search

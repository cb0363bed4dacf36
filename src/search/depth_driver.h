// Runs the root driver to a fixed depth on a given position, without time control:
// what tests and speed measurements use to search one position.
#pragma once

#include "position/position.h"

#include <cstdint>

namespace search {

struct DepthResult {
    position::Move bestMove;
    std::int32_t score;
    std::int32_t depth; // last iteration started
    std::uint64_t nodes;
    bool stopped; // a node limit or the stop signal ended it early
};

// Searches `root` with aspiration windows up to maxDepth plies (and at most nodeLimit nodes
// when that is not 0). The table, history and killers carry over from earlier calls.
DepthResult searchToDepth(const position::Position &root, int maxDepth, std::uint64_t nodeLimit = 0);

} // namespace search

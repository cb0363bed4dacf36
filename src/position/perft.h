// Move-generator counts (the console `perft` command).
#pragma once

#include "position/position.h"

#include <cstdint>
#include <string_view>

namespace position {

void PerftCommand(std::string_view line);
// Leaf count of the legal move tree of pos; bulk-counts the last ply when `bulk` is set.
std::uint64_t perftCount(Position &pos, int depth, MoveEntry *stack, bool bulk = true);

} // namespace position

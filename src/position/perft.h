// Move-generator counts.
#pragma once

#include "position/position.h"

#include <cstdint>

namespace position {

// Hears each root move with its count as soon as that count is known.
using PerftRootVisitor = void (*)(Move move, std::uint64_t count);

// Leaf count of the legal move tree of pos; bulk-counts the last ply when `bulk` is set (except
// at depth 1, where each root move is made). `stack` needs room for depth + 1 move lists.
std::uint64_t perftCount(Position &pos, int depth, MoveEntry *stack, bool bulk = true,
                         PerftRootVisitor visit = nullptr);

} // namespace position

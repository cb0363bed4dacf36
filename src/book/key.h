// Book keys: the low 48 bits of the position's hash key and 16 bits of a move hash. The move
// hash mirrors Black's squares, so the key of a move and of its colour-mirrored twin agree.
#pragma once

#include "position/position.h"

#include <cstdint>

namespace book {

constexpr std::uint64_t POSITION_KEY_MASK = 0xFFFFFFFFFFFFull;

// The move hash of `move` (its moving piece taken from `pos`); castling counts as the king
// going to the rook's corner. The mover must stand on the move's from-square.
std::uint64_t moveHash(const position::Position &pos, position::Move move);
std::uint64_t bookKey(const position::Position &pos, position::Move move);
inline std::uint64_t positionPart(std::uint64_t key) { return key & POSITION_KEY_MASK; }

} // namespace book

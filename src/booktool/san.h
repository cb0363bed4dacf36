// Standard algebraic notation for the book tool: reading a move as games write it, and writing
// one for display.
#pragma once

#include "position/position.h"

#include <string>
#include <string_view>

namespace booktool {

// The legal move that `san` names in `pos`, or NO_MOVE with the reason in `error` ("illegal",
// "ambiguous", "unreadable"). Accepts check and annotation marks, "x", "-" and ":" captures,
// "=Q" or "Q" promotions, O-O and 0-0 castling and from-to forms such as e2e4 or Ng1f3.
position::Move parseSan(position::Position &pos, std::string_view san, std::string &error);
// The move in SAN with its check or mate mark.
std::string toSan(position::Position &pos, position::Move move);

} // namespace booktool

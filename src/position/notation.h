// Coordinate and SAN notation.
#pragma once

#include "position/position.h"

#include <string>

namespace position {

// Writes 4 or 5 characters and a NUL; returns a pointer to the NUL.
char *MoveToText(Move move, char *buffer);
std::string moveText(Move move);
Move TextToMove(const char *text);
// Reads SAN moves for GamePosition's side to move; returns the count, or -1 on an error.
int ParseSanList(const char *text, Move *out, int capacity);

} // namespace position

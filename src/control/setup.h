// Commands that change the game position: console "new", "fen", "move", "d", "perft", UCI
// "position" and "ucinewgame", xboard "setboard".
#pragma once

#include "position/types.h"

#include <string_view>

namespace control {

// The command tables run these on an idle engine only (during a search they are re-queued).
void PositionCommand(std::string_view line);
void SetboardCommand(std::string_view line);

void ucinewgameCommand(std::string_view line);
void consoleNewCommand(std::string_view line);
void fenCommand(std::string_view line);
void moveCommand(std::string_view line);
void boardCommand(std::string_view line);
void perftCommand(std::string_view line);

} // namespace control

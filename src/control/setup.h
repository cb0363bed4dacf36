// Commands that change the game position: console "new", "fen", "move", "d", "perft", UCI
// "position" and "ucinewgame", xboard "new", "setboard" and the opponent's moves.
#pragma once

#include "position/types.h"

#include <string_view>

namespace control {

inline constexpr std::int32_t NEW_GAME_CLOCK_MS = 300000;

// The move the xboard ponder loop is pondering on: 0 none, NullMove after "new" (ends the loop).
extern position::Move expectedPonderMove;
// The opponent's move received while pondering; 0 when none.
extern position::Move opponentReply;

// Parts of the xboard play loop that live with the search; installed once they exist.
struct XboardHooks {
    void (*go)();        // the go loop: think, play the move, maybe ponder
    void (*ponderHit)(); // the pondered move was played: think on it as a normal search
};
void registerXboardHooks(const XboardHooks &hooks);


// These need an idle engine: during a search they stop it and re-queue their own line.
void PositionCommand(std::string_view line);
void SetboardCommand(std::string_view line);
void NewGameCommand(std::string_view line);

void ucinewgameCommand(std::string_view line);
void consoleNewCommand(std::string_view line);
void fenCommand(std::string_view line);
void moveCommand(std::string_view line);
void boardCommand(std::string_view line);
void perftCommand(std::string_view line);
// A line in xboard mode that begins with a square pair.
void xboardMoveCommand(std::string_view line);

} // namespace control

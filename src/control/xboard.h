// The xboard protocol: feature handshake, new game, time controls, the go loop that plays the
// engine's moves and ponders on the expected reply, and the opponent's moves by search state.
// The time-control words and "go" also serve the console.
#pragma once

#include "position/types.h"

#include <cstdint>
#include <string_view>

namespace control {

inline constexpr std::int32_t NEW_GAME_CLOCK_MS = 300000;

// The move the ponder loop is pondering on: 0 none, NullMove after "new" (ends the loop).
extern position::Move expectedPonderMove;
// The opponent's move received while pondering; 0 when none.
extern position::Move opponentReply;

// The clocks as xboard reports them: "time" is the engine's own, "otim" the opponent's, whatever
// colour the engine plays. They are filed by colour when a search starts or a ponder hit comes.
struct XboardClocks {
    std::int32_t engine;   // ms
    std::int32_t opponent; // ms
};
extern XboardClocks Clocks;

void protoverCommand(std::string_view line);
void variantCommand(std::string_view line);
void pingCommand(std::string_view line);
void levelCommand(std::string_view line);
void stCommand(std::string_view line);
void sdCommand(std::string_view line);
void npsCommand(std::string_view line);
// "cores N": the number of searching threads (the "Threads" option).
void coresCommand(std::string_view line);
void egtpathCommand(std::string_view line);
// "option NAME=VALUE": sets one of the options the handshake offers (any listed UCI option).
void optionCommand(std::string_view line);
void timeCommand(std::string_view line);
void otimCommand(std::string_view line);
// Runs on an idle engine only (during a search the command table re-queues it).
void NewGameCommand(std::string_view line);
// xboard and console "go": the go loop.
void xboardGoCommand(std::string_view line);
// A line in xboard mode that begins with a square pair.
void xboardMoveCommand(std::string_view line);

} // namespace control

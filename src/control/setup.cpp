#include "control/setup.h"

#include "control/dispatch.h"
#include "control/input.h"
#include "control/options.h"
#include "position/fen.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "position/perft.h"
#include "search/context.h"
#include "search/thread.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace control {

namespace {

constexpr std::size_t POSITION_FEN_START = 13; // after "position fen "
constexpr std::size_t SETBOARD_FEN_START = 9;  // after "setboard "
constexpr std::size_t CONSOLE_FEN_START = 4;   // after "fen "
constexpr std::size_t CONSOLE_MOVES_START = 5; // after "move "

} // namespace

void PositionCommand(std::string_view line) {
    if (line.substr(0, 12) == "position fen")
        position::LoadFen(lineTail(line, POSITION_FEN_START));
    else
        position::LoadFen(position::START_FEN);
    std::size_t moves = line.find("moves");
    if (moves != std::string_view::npos) position::ApplyMoveList(line.substr(moves + 5));
}

void SetboardCommand(std::string_view line) { position::LoadFen(lineTail(line, SETBOARD_FEN_START)); }

void ucinewgameCommand(std::string_view) {
    setOptionValue(base::OPTION_CLEAR_HASH, ""); // runs the hash tables' clear handler
    for (search::SearchThread *t : search::Threads)
        if (t) search::clearKillers(*t);
    search::resetHistory();
}

void consoleNewCommand(std::string_view) { position::LoadFen(position::START_FEN); }
void fenCommand(std::string_view line) { position::LoadFen(lineTail(line, CONSOLE_FEN_START)); }
void moveCommand(std::string_view line) { position::ApplyMoveList(lineTail(line, CONSOLE_MOVES_START)); }
void boardCommand(std::string_view) { position::PrintBoard(); }
void perftCommand(std::string_view line) { position::PerftCommand(line); }

} // namespace control

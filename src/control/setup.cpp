#include "control/setup.h"

#include "control/dispatch.h"
#include "control/input.h"
#include "control/options.h"
#include "control/position_report.h"
#include "position/fen.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "position/perft.h"
#include "search/control.h"
#include "search/picker.h"
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

bool searchRunning() { return search::SearchState != search::STATE_IDLE; }

} // namespace

void PositionCommand(std::string_view line) {
    if (searchRunning()) {
        requeueLine(line);
        return;
    }
    if (line.substr(0, 12) == "position fen")
        loadGamePosition(lineTail(line, POSITION_FEN_START));
    else
        loadGamePosition(position::START_FEN);
    std::size_t moves = line.find("moves");
    if (moves != std::string_view::npos) playMoveList(line.substr(moves + 5));
}

void SetboardCommand(std::string_view line) {
    if (searchRunning()) {
        requeueLine(line);
        return;
    }
    loadGamePosition(lineTail(line, SETBOARD_FEN_START));
}

void ucinewgameCommand(std::string_view) {
    search::SearchState = search::STATE_IDLE;
    setOptionValue(base::OPTION_CLEAR_HASH, ""); // runs the hash tables' clear handler
    if (search::Threads[0]) std::memset(search::Threads[0]->killers, 0, sizeof search::Threads[0]->killers);
    search::resetHistory();
}

void consoleNewCommand(std::string_view) { loadGamePosition(position::START_FEN); }
void fenCommand(std::string_view line) { loadGamePosition(lineTail(line, CONSOLE_FEN_START)); }
void moveCommand(std::string_view line) { playMoveList(lineTail(line, CONSOLE_MOVES_START)); }
void boardCommand(std::string_view) { position::PrintBoard(); }
void perftCommand(std::string_view line) { position::PerftCommand(line); }

} // namespace control

#include "control/setup.h"

#include "control/dispatch.h"
#include "control/input.h"
#include "control/options.h"
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

XboardHooks Xboard{};

bool searchRunning() { return search::SearchState != search::STATE_IDLE; }

} // namespace

position::Move expectedPonderMove = 0;
position::Move opponentReply = 0;

void registerXboardHooks(const XboardHooks &hooks) { Xboard = hooks; }

void PositionCommand(std::string_view line) {
    if (searchRunning()) {
        requeueLine(line);
        return;
    }
    if (line.substr(0, 12) == "position fen")
        position::LoadFen(lineTail(line, POSITION_FEN_START));
    else
        position::LoadFen(position::START_FEN);
    std::size_t moves = line.find("moves");
    if (moves != std::string_view::npos) position::ApplyMoveList(line.substr(moves + 5));
}

void SetboardCommand(std::string_view line) {
    if (searchRunning()) {
        requeueLine(line);
        return;
    }
    position::LoadFen(lineTail(line, SETBOARD_FEN_START));
}

void NewGameCommand(std::string_view) {
    if (searchRunning()) {
        requeueLine("new");
        return;
    }
    position::LoadFen(position::START_FEN);
    storeOptionValue(base::OPTION_XBOARD_FORCE, 0);
    expectedPonderMove = position::NullMove;
    storeOptionValue(base::OPTION_PROCESS_TIME, 0);
    search::SearchLimits.time[0] = search::SearchLimits.time[1] = NEW_GAME_CLOCK_MS;
    search::limitFlags = search::LIMIT_CLOCK;
    search::resetHistory();
}

void ucinewgameCommand(std::string_view) {
    search::SearchState = search::STATE_IDLE;
    setOptionValue(base::OPTION_CLEAR_HASH, ""); // runs the hash tables' clear handler
    if (search::Threads[0]) std::memset(search::Threads[0]->killers, 0, sizeof search::Threads[0]->killers);
    search::resetHistory();
}

void consoleNewCommand(std::string_view) { position::LoadFen(position::START_FEN); }
void fenCommand(std::string_view line) { position::LoadFen(lineTail(line, CONSOLE_FEN_START)); }
void moveCommand(std::string_view line) { position::ApplyMoveList(lineTail(line, CONSOLE_MOVES_START)); }
void boardCommand(std::string_view) { position::PrintBoard(); }
void perftCommand(std::string_view line) { position::PerftCommand(line); }

void xboardMoveCommand(std::string_view line) {
    switch (search::SearchState) {
    case search::STATE_IDLE:
        position::ApplyMoveList(line);
        if (!base::optionBool(base::OPTION_XBOARD_FORCE) && Xboard.go) Xboard.go();
        break;
    case search::STATE_PONDERING: {
        search::limitFlags &= ~std::uint32_t(search::LIMIT_INFINITE);
        std::string text(line); // the converter wants a terminated text
        opponentReply = position::TextToMove(text.c_str());
        if (opponentReply == expectedPonderMove) {
            if (Xboard.ponderHit) Xboard.ponderHit();
            search::suppressMoveOutput = 0;
        } else {
            search::SearchState = search::STATE_IDLE;
        }
        break;
    }
    default: // thinking: the interface should not move now
        break;
    }
}

} // namespace control

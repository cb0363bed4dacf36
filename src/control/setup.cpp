#include "control/setup.h"

#include "control/dispatch.h"
#include "control/input.h"
#include "control/options.h"
#include "control/position_report.h"
#include "platform/platform.h"
#include "position/castling.h"
#include "position/fen.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "position/perft.h"
#include "search/context.h"
#include "search/thread.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace control {

namespace {

constexpr std::size_t POSITION_FEN_START = 13; // after "position fen "
constexpr std::size_t SETBOARD_FEN_START = 9;  // after "setboard "
constexpr std::size_t CONSOLE_FEN_START = 4;   // after "fen "
constexpr std::size_t CONSOLE_MOVES_START = 5; // after "move "
constexpr std::size_t PERFT_DEPTH_START = 6;   // after "perft "
// Deeper counts would run for years: the limit only bounds the list arena.
constexpr int MAX_PERFT_DEPTH = 20;

position::MoveEntry PerftStack[(MAX_PERFT_DEPTH + 1) * position::MAX_MOVES];
position::Position PerftPosition;

void printDivideLine(position::Move move, std::uint64_t count) {
    std::printf("%s %llu\n", position::moveText(move).c_str(), static_cast<unsigned long long>(count));
}

} // namespace

void PositionCommand(std::string_view line) {
    if (line.substr(0, 12) == "position fen")
        loadGamePosition(lineTail(line, POSITION_FEN_START));
    else
        loadGamePosition(position::START_FEN);
    std::size_t moves = line.find("moves");
    if (moves != std::string_view::npos) playMoveList(line.substr(moves + 5));
}

void SetboardCommand(std::string_view line) { loadGamePosition(lineTail(line, SETBOARD_FEN_START)); }

void ucinewgameCommand(std::string_view) {
    setOptionValue(base::OPTION_CLEAR_HASH, ""); // runs the hash tables' clear handler
    for (search::SearchThread *t : search::Threads)
        if (t) search::clearKillers(*t);
    search::resetHistory();
}

void consoleNewCommand(std::string_view) { loadGamePosition(position::START_FEN); }
void fenCommand(std::string_view line) { loadGamePosition(lineTail(line, CONSOLE_FEN_START)); }
void moveCommand(std::string_view line) { playMoveList(lineTail(line, CONSOLE_MOVES_START)); }

void boardCommand(std::string_view) {
    using namespace position;
    const Position &pos = GamePosition;
    std::printf("\n   a b c d e f g h\n\n");
    for (int rank = 7; rank >= 0; --rank) {
        std::printf("%d ", rank + 1);
        for (int file = 7; file >= 0; --file) {
            std::uint32_t cell = pos.board[makeSquare(file, rank)];
            std::printf(" %c", cellIsEmpty(cell) ? '.' : PIECE_LETTERS[cellColour(cell)][cellType(cell)]);
        }
        std::printf("  %d\n", rank + 1);
    }
    std::printf("\n   a b c d e f g h\n\n");
    // Chess960: the castling rights by the files of their rooks (Shredder-FEN letters).
    if (Chess960Mode) {
        char rights[5] = {}, *p = rights;
        const char base[4] = {'A', 'A', 'a', 'a'};
        for (int i = 0; i < 4; ++i)
            if (pos.castling & (1u << i)) *p++ = char(base[i] + 7 - fileOf(Castling.rook[i]));
        std::printf("Castling: %s\n\n", p == rights ? "-" : rights);
    }
    std::fflush(stdout);
}

// "perft N" counts to depth N; "perft N div" also lists each root move's count as it is known.
void perftCommand(std::string_view line) {
    std::uint64_t start = platform::wallClockMs();
    std::string rest(line.size() > PERFT_DEPTH_START ? line.substr(PERFT_DEPTH_START) : std::string_view());
    int depth = std::clamp(std::atoi(rest.c_str()), 0, MAX_PERFT_DEPTH);
    bool divide = line.find("div") != std::string_view::npos;
    PerftPosition = position::GamePosition;
    std::printf("Performance Test\n");
    std::fflush(stdout);
    std::uint64_t count =
        position::perftCount(PerftPosition, depth, PerftStack, true, divide ? printDivideLine : nullptr);
    std::printf("%d:\t%llu\t%llu\n", depth, static_cast<unsigned long long>(platform::wallClockMs() - start),
                static_cast<unsigned long long>(count));
    std::fflush(stdout);
}

} // namespace control

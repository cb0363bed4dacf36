#include "control/dispatch.h"

#include "base/text.h"
#include "control/commands.h"
#include "control/input.h"
#include "control/search_commands.h"
#include "control/setup.h"
#include "control/xboard.h"
#include "position/castling.h"
#include "search/context.h"

#include <cstdio>
#include <span>

namespace control {

namespace {

using enum Match;
using enum When;

constexpr Command CONSOLE_COMMANDS[] = {
    {"uci", EXACT, uciCommand},
    {"xboard", EXACT, xboardCommand, IDLE},
    {"perft", PREFIX, perftCommand},
    {"bench", PREFIX, benchCommand, IDLE},
    {"profile", PREFIX, profileCommand, IDLE},
    {"analyze", PREFIX, analyzeCommand, IDLE},
    {"d", EXACT, boardCommand},
    {"new", EXACT, consoleNewCommand, IDLE},
    {"fen", PREFIX, fenCommand, IDLE},
    {"move", PREFIX, moveCommand, IDLE},
    {"eval", EXACT, evalCommand},
    {"prog", EXACT, progCommand},
    {"quit", EXACT, quitCommand},
    {"level ", PREFIX, levelCommand},
    {"st ", PREFIX, stCommand},
    {"sd ", PREFIX, sdCommand},
    {"nps ", PREFIX, npsCommand},
    {"time ", PREFIX, timeCommand},
    {"otim ", PREFIX, otimCommand},
    {"go", EXACT, xboardGoCommand, IDLE},
    {"setoption", PREFIX, setoptionCommand},
};

constexpr Command XBOARD_COMMANDS[] = {
    {"protover ", PREFIX, protoverCommand},
    {"accepted ", PREFIX, ignoreCommand},
    {"rejected ", PREFIX, ignoreCommand},
    {"new", EXACT, NewGameCommand, IDLE},
    {"variant ", PREFIX, variantCommand},
    {"force", EXACT, forceCommand},
    {"go", EXACT, xboardGoCommand, IDLE},
    {"ping ", PREFIX, pingCommand},
    {"level ", PREFIX, levelCommand},
    {"st ", PREFIX, stCommand},
    {"sd ", PREFIX, sdCommand},
    {"nps ", PREFIX, npsCommand},
    {"time ", PREFIX, timeCommand},
    {"otim ", PREFIX, otimCommand},
    {"?", EXACT, stopCommand},
    {"draw", EXACT, ignoreCommand},
    {"result ", PREFIX, ignoreCommand},
    {"setboard ", PREFIX, SetboardCommand, IDLE},
    {"hard", EXACT, hardCommand},
    {"easy", EXACT, easyCommand},
    {"post", EXACT, postCommand},
    {"nopost", EXACT, nopostCommand},
    {"name ", PREFIX, ignoreCommand},
    {"rating ", PREFIX, ignoreCommand},
    {"ics ", PREFIX, ignoreCommand},
    {"computer", EXACT, ignoreCommand},
    {"memory ", PREFIX, ignoreCommand},
    {"cores ", PREFIX, coresCommand},
    {"egtpath ", PREFIX, egtpathCommand},
    {"option ", PREFIX, optionCommand},
    {"quit", EXACT, quitCommand},
};

constexpr Command UCI_COMMANDS[] = {
    {"isready", EXACT, isreadyCommand},
    {"setoption", PREFIX, setoptionCommand},
    {"ucinewgame", EXACT, ucinewgameCommand, IDLE},
    {"position", PREFIX, PositionCommand, IDLE},
    {"go", PREFIX, goCommand, IDLE},
    {"debug", PREFIX, setoptionCommand},
    {"ponderhit", EXACT, ponderhitCommand},
    {"stop", EXACT, stopCommand},
    {"quit", EXACT, quitCommand},
};

bool matches(const Command &c, std::string_view line) {
    return c.match == EXACT ? line == c.word : base::startsWith(line, c.word);
}

const Command *findCommand(std::span<const Command> table, std::string_view line) {
    for (const Command &c : table)
        if (matches(c, line)) return &c;
    return nullptr;
}

// A file letter, a rank digit, a file letter and a rank digit.
bool beginsWithSquarePair(std::string_view line) {
    auto file = [](char c) { return c >= 'a' && c <= 'h'; };
    auto rank = [](char c) { return c >= '1' && c <= '8'; };
    return line.size() >= 4 && file(line[0]) && rank(line[1]) && file(line[2]) && rank(line[3]);
}

} // namespace

void dispatchLine(std::string_view line) {
    std::span<const Command> table;
    switch (ProtocolMode) {
    case MODE_NONE: table = CONSOLE_COMMANDS; break;
    case MODE_XBOARD: table = XBOARD_COMMANDS; break;
    case MODE_UCI: table = UCI_COMMANDS; break;
    default: return;
    }
    if (const Command *c = findCommand(table, line)) {
        if (c->when == IDLE && !search::searchIdle())
            requeueLine(line);
        else
            c->handler(line);
        return;
    }
    if (ProtocolMode != MODE_XBOARD) return;
    // Chess960 castling comes by name too (O-O, O-O-O).
    bool castlingByName = position::Chess960Mode && (line.substr(0, 3) == "O-O" || line.substr(0, 3) == "0-0");
    if (beginsWithSquarePair(line) || castlingByName) {
        xboardMoveCommand(line);
        return;
    }
    std::string_view word = base::firstWord(line);
    if (word.empty()) return; // a blank line is no command
    std::printf("Error (unknown command): %.*s\n", int(word.size()), word.data());
}

} // namespace control

// Which input word reaches which handler in which protocol mode. The tables are data: a
// command is a word, how the line must match it, and the handler that receives the line.
#pragma once

#include "control/protocol.h"

#include <cstdint>
#include <string_view>

namespace control {

enum class Match : std::uint8_t {
    EXACT,  // the whole line equals the word
    PREFIX, // the line begins with the word, blanks included ("level " does not match "levels")
};

using CommandHandler = void (*)(std::string_view line);

enum class When : std::uint8_t {
    ANYTIME, // also from inside a running search
    IDLE,    // changes the game or starts a search: during a search it stops the search and
             // runs once the search has unwound and reported its move
};

struct Command {
    std::string_view word;
    Match match;
    CommandHandler handler;
    When when = When::ANYTIME;
};

// Runs the handler of the first matching row of the active mode's table. In xboard mode a line
// that matches nothing is a move when it begins with a square pair, else an error line.
void dispatchLine(std::string_view line);

// The text from the given 0-based position on, empty when the line is shorter.
constexpr std::string_view lineTail(std::string_view line, std::size_t from) {
    return from < line.size() ? line.substr(from) : std::string_view();
}

} // namespace control

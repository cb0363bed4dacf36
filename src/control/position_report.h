// Setting the game position up from interface text, and telling the interface what was wrong
// with that text in its protocol's words.
#pragma once

#include <string_view>

namespace control {

// LoadFen, then one line per note.
void loadGamePosition(std::string_view fen);
// ApplyMoveList, then the refused move, if any; false when a move was refused.
bool playMoveList(std::string_view moves);

} // namespace control

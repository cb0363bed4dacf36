// Book moves and the instant moves the root driver may play without searching.
#pragma once

#include "position/types.h"

namespace book {

// The root driver's instant move: a book move, the only legal move, the first move of a dead
// draw, or a quick repetition; none in analysis (no engine side). Prints book information only
// when `print` is set (and "Bookmove Info" is on).
position::Move rootBookMove(bool print);
// Picks a book move for the position the list belongs to; may shorten the list. None when no
// book is loaded or the position is not in it.
position::Move selectBookMove(position::MoveEntry *list, int &count, bool print);

} // namespace book

// Book moves and the instant moves the root driver may play without searching.
#pragma once

#include "position/types.h"
#include "search/thread.h"

#include <cstdint>

namespace book {

// What the book says about one root move during one selection.
struct BookChoice {
    bool found;
    std::int16_t score;
    std::uint8_t flags;
    std::uint8_t weight;
    int percent;
};

constexpr int ALL_AVOIDED = -1;

// Shares out 100 among the found moves by their flags, weights and scores (integer percentages,
// truncated) and answers their sum; ALL_AVOIDED when every one of the `count` root moves is an
// avoid move, so nothing may be chosen or removed.
int bookPercentages(BookChoice *moves, int count, bool tournament);

// The root driver's instant move for the thread's position: a book move, the only legal move,
// the first move of a dead draw, or a quick repetition; none in analysis (no engine side).
// Prints book information only when `print` is set (and "Bookmove Info" is on).
position::Move rootBookMove(search::SearchThread &thread, bool print);
// Picks a book move for the thread's position, whose legal moves are the `count` entries of
// `list` (room for 256). The list may be reordered from the thread's PV move-list cache, and
// when no move is eligible the avoid moves are dropped from it (shortening `count`), which the
// cache then keeps for the search.
position::Move selectBookMove(search::SearchThread &thread, position::MoveEntry *list, int &count,
                              bool print);

} // namespace book

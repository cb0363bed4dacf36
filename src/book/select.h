// Book moves and the instant moves the root driver may play without searching.
#pragma once

#include "position/movegen.h"
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

// What a random book choice chose from: the moves with a share, in list order, their shares
// (percent) and the number drawn, which falls in the chosen move's range of the shares' running
// sum. Filled only when a random choice is made: a new record (count 0) stays empty otherwise.
struct BookSelection {
    int count = 0;
    position::Move moves[position::MAX_MOVES];
    int percent[position::MAX_MOVES];
    int random = 0;
};

// Shares out 100 among the found moves by their flags, weights and scores (integer percentages,
// truncated) and answers their sum; ALL_AVOIDED when every one of the `count` root moves is an
// avoid move, so nothing may be chosen or removed.
int bookPercentages(BookChoice *moves, int count, bool tournament);

// The root driver's instant move for the thread's position: a book move, the only legal move,
// the first move of a dead draw, or a quick repetition; none in analysis (no engine side).
// Fills `selection`, when given, with the book choice made.
position::Move rootBookMove(search::SearchThread &thread, BookSelection *selection);
// Picks a book move for the thread's position, whose legal moves are the `count` entries of
// `list` (room for 256). The list may be reordered from the thread's PV move-list cache, and
// when no move is eligible the avoid moves are dropped from it (shortening `count`), which the
// cache then keeps for the search. Fills `selection`, when given, with the random choice made.
position::Move selectBookMove(search::SearchThread &thread, position::MoveEntry *list, int &count,
                              BookSelection *selection);

} // namespace book

// The book as the engine's interfaces hear about it: what loading it did, and how a book move
// was chosen. Nothing under xboard; "info string " lines under UCI.
#pragma once

#include "position/types.h"
#include "search/thread.h"

namespace control {

// book::loadBook, and a line on what it did.
void loadBookAndReport();
// The search's book hooks: the book's answers, with the random choice printed when the search
// asks (`print`) and "Bookmove Info" is on.
position::Move rootBookMoveReported(search::SearchThread &thread, bool print);
position::Move selectBookMoveReported(search::SearchThread &thread, position::MoveEntry *list, int &count,
                                      bool print);

} // namespace control

// Loading the book: the file named by "OwnBookPath", or the internal book when it cannot be
// opened. Also seeds the book's random numbers from the clock.
#pragma once

namespace book {

// The change handler of "OwnBookPath" and "OwnBook" and a start-up step. Loads nothing while
// "OwnBook" is off or when the path is the one loaded last.
void loadBook();

} // namespace book

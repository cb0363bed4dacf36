// Loading the book: the file named by "OwnBookPath", or the internal book when it cannot be
// opened. Also seeds the book's random numbers from the clock.
#pragma once

#include <cstddef>
#include <string>

namespace book {

enum BookLoadOutcome { BOOK_UNCHANGED, BOOK_FILE_LOADED, BOOK_INTERNAL };

// What loadBook did: nothing (book off, or the path loaded last), read `entries` entries from
// the file, or fell back to the internal book because `path` could not be read.
struct BookLoad {
    BookLoadOutcome outcome = BOOK_UNCHANGED;
    std::size_t entries = 0;
    std::string path;
};

// The change handler of "OwnBookPath" and "OwnBook" and a start-up step. Loads nothing while
// "OwnBook" is off or when the path is the one loaded last.
BookLoad loadBook();

} // namespace book

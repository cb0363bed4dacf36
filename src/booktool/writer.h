// Writing a book: weights scaled into one byte per position, and a file that replaces the old
// one only when it is complete.
#pragma once

#include "book/entry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace booktool {

// One position's move counts as weights 1..255 in proportion (unchanged when all fit).
std::vector<std::uint8_t> scaleWeights(const std::vector<std::uint32_t> &counts);

// Writes the book to a temporary file beside `path` and renames it into place; false with a
// message on failure, leaving any existing file untouched.
bool writeBookSafely(const std::string &path, const std::vector<book::BookEntry> &entries,
                     std::string &error);

} // namespace booktool

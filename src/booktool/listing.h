// Looking into a book file: its moves for one position as the engine would weigh them, and a
// summary of the whole file.
#pragma once

#include "book/entry.h"

#include <string>
#include <vector>

namespace booktool {

// Prints the book moves of the position `fen` with weight, flags, score and the percentage the
// engine's selection gives them (its tournament mode when `tournament` is set).
void showPosition(const std::vector<book::BookEntry> &entries, const std::string &fen, bool tournament);
// Prints counts of entries, positions, flags, weights and scores.
void showStats(const std::vector<book::BookEntry> &entries);

} // namespace booktool

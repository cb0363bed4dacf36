// The book table: one flat array of entries in file order, searched linearly. Files are read
// and written as whole blocks of 12-byte records.
#pragma once

#include "book/entry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace book {

extern std::vector<BookEntry> BookTable;
inline std::size_t bookEntries() { return BookTable.size(); }

// The first entry with `key` and a non-zero weight, or nullptr.
const BookEntry *findBookEntry(std::uint64_t key);
// Appends an entry with weight 1 and score 0 unless one with the same key exists.
void addBookEntry(std::uint64_t key, std::uint8_t flags);

// Reads every whole record of a book file (a trailing part record is ignored). False when the
// file cannot be opened or read; `out` is left unchanged then.
bool readBookFile(const std::string &path, std::vector<BookEntry> &out);
// Writes the entries to `path`; false on any error (a partly written file may remain).
bool writeBookFile(const std::string &path, const std::vector<BookEntry> &entries);

} // namespace book

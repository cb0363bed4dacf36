// Tables held in memory by the generator, in the file's layout: the tables it made and the
// ones it read to look up positions that leave the table being made.
#pragma once

#include "tablebases/tables.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tbgen {

struct TableData {
    std::vector<std::int8_t> side[2]; // file bytes with the first / second side to move
    bool present = false;
};

extern TableData Loaded[tablebases::TABLE_COUNT];

// Reads a table's files from `directory` (uncompressed or .emd). False, with the reason, when a
// file is missing or does not fit the table.
bool loadTable(int id, const std::string &directory, std::string &error);
// The tables a position of `id` can reach by a capture or a promotion.
std::vector<int> subtablesOf(int id);

} // namespace tbgen

// Tables the generator makes inside the test process, and value look-ups in them.
#pragma once

#include "tablebases/tables.h"

#include <string>
#include <vector>

namespace tbtest {

// The tables every test of this folder may use: the five 3-piece tables and krkn, made once by
// vorlan-tbgen (compressed) into compressedFolder() and read from there.
bool makeTestTables();
const std::string &compressedFolder();

// A depth to mate in plies from the side to move's view: 2n - 1 for mate in n, -2n for mated in
// n (mated now: 0 with `mated`), 0 for a draw. `known` is false when no table covers it.
struct Dtm {
    bool known = false;
    int plies = 0;
    bool mated = false;
};

// From square lists in the probe's slot order (see tablebases/tables.h).
Dtm lookup(const unsigned *white, const unsigned *black, const int *whiteCount, const int *blackCount,
           int sideToMove, unsigned ep = 127);
// From FEN text (sets the game position), optionally after coordinate moves.
Dtm lookupFen(const std::string &fen, const std::string &moves = "");

// Lines of a reference file; .xz files are read through "xz -dc". Empty when unavailable.
std::vector<std::string> readLines(const std::string &path);
std::string oracleFile(const std::string &name);

} // namespace tbtest

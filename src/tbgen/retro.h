// Retrograde analysis of one table: every position's distance to mate, computed backwards from
// the mates and from the values of the smaller tables it can reach.
#pragma once

#include <cstdint>
#include <string>

namespace tbgen {

struct TableStats {
    std::uint64_t positions[2] = {}; // index entries per file side
    std::uint64_t wins[2] = {}, draws[2] = {}, losses[2] = {}, broken[2] = {};
    int longestWin[2] = {}; // moves to mate of the slowest win, per side to move
    double seconds = 0;
};

// Whether this machine can make table `id` (value width, working memory); the reason when not.
// Checked before any table it depends on is made.
bool canGenerate(int id, std::string &reason);

// Generates table `id` into Loaded[id] with `threads` threads. Every table a capture or
// promotion reaches must be in Loaded already. False with the reason on failure.
bool generateTable(int id, int threads, TableStats &stats, std::string &error);

} // namespace tbgen

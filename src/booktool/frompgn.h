// Building a book from games: how often each move was played and how it scored.
#pragma once

#include "book/entry.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace booktool {

struct PgnOptions {
    int maxPly = 30;  // plies of each game that enter the book
    int minGames = 1; // a move played in fewer games is left out
};

// Per book key: games that played the move, and their results from the mover's side.
struct MoveStats {
    std::uint32_t games = 0, wins = 0, draws = 0, losses = 0;
};
using MoveCounts = std::unordered_map<std::uint64_t, MoveStats>;

struct PgnReport {
    std::size_t games = 0, skipped = 0;
};

// Counts the games of one PGN file; a game with a move that cannot be played is reported on
// standard error (file, game number, reason) and left out. False when the file cannot be read.
bool countPgnFile(const std::string &path, const PgnOptions &options, MoveCounts &counts, PgnReport &report,
                  std::string &error);

// The counted moves as book entries, ordered by position. Per position: weights in proportion
// to the games; score 100 * (wins - losses) / decided-or-drawn games; main moves were played in
// at least 2 games and 5% of the position's games; tournament moves are main moves that scored
// at least half; moves that scored at most a quarter over 3 or more games are avoided, and
// those that scored under half are avoided in tournaments.
std::vector<book::BookEntry> pgnBookEntries(const MoveCounts &counts, const PgnOptions &options);

} // namespace booktool

// Polyglot opening books (.bin): 16-byte big-endian entries of key, move, weight and learn
// value, sorted by a key of their own. Read whole, then walked from the starting position to
// rebuild the positions the keys stand for.
#pragma once

#include "book/entry.h"
#include "position/movegen.h"

#include <cstdint>
#include <string>
#include <vector>

namespace booktool {

constexpr int POLYGLOT_RANDOM_COUNT = 781;
extern const std::uint64_t PolyglotRandom[POLYGLOT_RANDOM_COUNT];

std::uint64_t polyglotKey(const position::Position &pos);

struct PolyglotEntry {
    std::uint64_t key;
    std::uint16_t move;
    std::uint16_t weight;
};

struct PolyglotBook {
    std::vector<PolyglotEntry> entries; // sorted by key, file order within a key
    std::size_t trailingBytes = 0;      // a damaged file's last part record, ignored
};

// False with a message when the file cannot be read.
bool readPolyglotBook(const std::string &path, PolyglotBook &book, std::string &error);

// The legal move in `legal` that a raw Polyglot move stands for in `pos` (castling written as
// the king taking its own rook, or as the king's two-square step), NO_MOVE when there is none.
position::Move decodePolyglotMove(const position::Position &pos, std::uint16_t raw,
                                  const position::MoveEntry *legal, int n);

struct WalkReport {
    std::size_t positions = 0;  // positions reached that have book moves
    std::size_t illegal = 0;    // entries whose move is not legal where their key was reached
    std::size_t zeroWeight = 0; // entries with weight 0, left out
    std::size_t merged = 0;     // entries for a move already counted in the same position
    std::size_t unreached = 0;  // entries whose key no walk through book moves reaches
    std::size_t sameKey = 0;    // moves whose book key an earlier position already used
};

// Every (position, move) pair reachable from the start through legal book moves, visiting each
// position once, as book entries (main and tournament moves, weights scaled per position).
std::vector<book::BookEntry> walkPolyglotBook(const PolyglotBook &book, WalkReport &report);

} // namespace booktool

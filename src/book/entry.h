// One book entry: a move in a position, named by a 64-bit key, with its flags and weight. A
// book file is a plain sequence of 12-byte little-endian records, without header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace book {

// Flag bits.
constexpr std::uint8_t BOOK_MAIN = 1;             // a main-book move
constexpr std::uint8_t BOOK_TOURNAMENT = 2;       // a tournament-book move
constexpr std::uint8_t BOOK_AVOID = 4;            // never played; removed from the root list
constexpr std::uint8_t BOOK_AVOID_TOURNAMENT = 8; // avoided when "TournamentBook" is on

struct BookEntry {
    std::uint64_t key; // bits 0..47 the position key, bits 48..63 the move hash
    std::int16_t score;
    std::uint8_t flags;
    std::uint8_t weight; // 0: never found
};

constexpr std::size_t BOOK_RECORD_SIZE = 12;

// Record layout: key (8 bytes), score (2), flags (1), weight (1), all little-endian.
inline BookEntry decodeEntry(const unsigned char *p) {
    std::uint64_t key = 0;
    for (int i = 7; i >= 0; --i)
        key = (key << 8) | p[i];
    auto score = std::int16_t(std::uint16_t(p[8] | (p[9] << 8)));
    return {key, score, p[10], p[11]};
}

inline void encodeEntry(const BookEntry &e, unsigned char *p) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<unsigned char>(e.key >> (8 * i));
    auto score = std::uint16_t(e.score);
    p[8] = static_cast<unsigned char>(score & 0xFF);
    p[9] = static_cast<unsigned char>(score >> 8);
    p[10] = e.flags;
    p[11] = e.weight;
}

} // namespace book

// Position values during generation, one byte each, from the side to move's view: 0 undecided
// (a draw once generation ends), 1..127 win in that many moves, 128 + n lost in n moves
// (n = 0: mated). And the conversion to and from the file's byte.
#pragma once

#include <cstdint>

namespace tbgen {

constexpr std::uint8_t DRAWN = 0;
constexpr int MAX_MOVES_TO_MATE = 127;

constexpr std::uint8_t winIn(int moves) { return std::uint8_t(moves); }
constexpr std::uint8_t lossIn(int moves) { return std::uint8_t(128 + moves); }
constexpr bool isWin(std::uint8_t v) { return v >= 1 && v < 128; }
constexpr bool isLoss(std::uint8_t v) { return v >= 128; }
constexpr int movesOf(std::uint8_t v) { return isLoss(v) ? v - 128 : v; }

// Better for the side to move is larger: fast wins, then draws, then slow losses.
constexpr int preference(std::uint8_t v) { return isWin(v) ? 300 - v : isLoss(v) ? -300 + movesOf(v) : 0; }

// The value for the side that made a move into a position of value v.
constexpr std::uint8_t beforeMove(std::uint8_t v) {
    return isLoss(v) ? winIn(movesOf(v) + 1) : isWin(v) ? lossIn(movesOf(v)) : DRAWN;
}

// The file's signed byte: 0 draw, 127 no value, 1..126 win in 127 - b, -128 win in 127,
// -126..-1 lost in b + 126, -127 lost in 126.
constexpr std::int8_t FILE_BROKEN = 127;
constexpr std::uint8_t fromFileByte(std::int8_t b) {
    if (b == 0 || b == FILE_BROKEN) return DRAWN;
    if (b > 0) return winIn(127 - b);
    if (b == -128) return winIn(127);
    if (b == -127) return lossIn(126);
    return lossIn(b + 126);
}
// Lost in 127 does not fit a byte; it is stored as lost in 126.
constexpr std::int8_t toFileByte(std::uint8_t v) {
    if (isWin(v)) return v == 127 ? std::int8_t(-128) : std::int8_t(127 - v);
    if (isLoss(v)) return movesOf(v) >= 126 ? std::int8_t(-127) : std::int8_t(movesOf(v) - 126);
    return 0;
}

} // namespace tbgen

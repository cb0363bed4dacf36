// Static exchange evaluation: the material result of the capture sequence on one square,
// answered from a table indexed by compact attacker signatures, without making moves.
#pragma once

#include "position/movegen.h"
#include "position/position.h"

#include <cstdint>

namespace search {

// Attacker signature weights by piece type. Read from the top, a signature counts pawns in bits
// 6-7, minor pieces in bits 4-5, rooks in bits 2-3, the queen in bit 1 and the king in bit 0.
inline constexpr std::uint8_t SignatureWeight[6] = {1, 2, 4, 16, 16, 64};

// [first capturing type][signature of the side capturing first][signature of the other side]:
// the exchange result for the first side, the first victim excluded.
extern std::int16_t exchangeTable[6][256][256];

void buildExchangeTable();

struct Signatures {
    std::uint8_t side[2]; // White, Black
};

// Attackers of sq for both colours, x-rays through batteries and attacking pawns included.
// A pawn of the side to move that could push onto the (empty) square counts as an attacker.
Signatures attackSignatures(const position::Position &pos, position::Square sq);

// Expected material gain of `move` for the side to move, victim included.
int see(const position::Position &pos, position::Move move);

} // namespace search

// Material values and piece-square tables that the position keeps incremental sums of.
#pragma once

#include <cstdint>

namespace eval {

// Indexed by PieceType; Queen..Knight follow the options of the same names.
extern int PieceValue[6];
// Indexed [type][colour][square]; the Black half is the vertical mirror of the White one.
extern std::int8_t PstMid[6][2][64];
extern std::int8_t PstEnd[6][2][64];

} // namespace eval

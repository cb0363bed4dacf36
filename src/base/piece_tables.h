// Material values and piece-square tables that every position keeps incremental sums of. The
// evaluation fills them at start-up and when the piece-value options change; the position's
// make/unmake and setup read them.
#pragma once

#include <cstdint>

namespace base {

// Indexed by piece type (King 0 .. Pawn 5); Queen..Knight follow the options of the same names.
inline int PieceValue[6] = {0, 975, 500, 335, 325, 100};
// Indexed [type][colour][square]; the Black half is the vertical mirror of the White one.
inline std::int8_t PstMid[6][2][64];
inline std::int8_t PstEnd[6][2][64];

} // namespace base

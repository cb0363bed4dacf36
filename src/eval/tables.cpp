#include "eval/tables.h"

namespace eval {

int PieceValue[6] = {0, 975, 500, 335, 325, 100};
std::int8_t PstMid[6][2][64];
std::int8_t PstEnd[6][2][64];

} // namespace eval

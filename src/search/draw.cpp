#include "search/draw.h"

#include "search/control.h"
#include "search/settings.h"

namespace search {

int drawScore(const position::Position &pos, position::Colour side) {
    if (engineSide == 2) return 0;
    int score = pos.material[side] < CONTEMPT_MATERIAL ? 0 : -Settings.contempt;
    return int(side) == engineSide ? score : -score;
}

} // namespace search

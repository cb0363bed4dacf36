#include "search/draw.h"

#include "search/context.h"
#include "search/settings.h"

namespace search {

int drawScore(const position::Position &pos, position::Colour side) {
    if (Shared.engineSide == NO_SIDE) return 0;
    int score = pos.material[side] < CONTEMPT_MATERIAL ? 0 : -Settings.contempt;
    return int(side) == Shared.engineSide ? score : -score;
}

} // namespace search

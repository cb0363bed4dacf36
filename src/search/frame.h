// One node frame of the non-recursive main search.
#pragma once

#include "position/position.h"

namespace search {

struct SearchFrame {
    position::UndoState undo; // saved on entry, restored by unmake
};

} // namespace search

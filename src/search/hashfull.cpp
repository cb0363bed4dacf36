#include "search/hashfull.h"

#include "search/pvcache.h"
#include "search/settings.h"
#include "search/tt.h"

namespace search {

int (*PawnTableFill)() = nullptr;

int hashfull() {
    switch (Settings.hashfull) {
    case HASHFULL_MAIN: return mainTableFill();
    case HASHFULL_PAWN: return PawnTableFill ? PawnTableFill() : -1;
    case HASHFULL_PV: return pvCacheFill();
    default: return -1;
    }
}

} // namespace search

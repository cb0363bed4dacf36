#include "search/hashfull.h"

#include "eval/pawns.h"
#include "search/pvcache.h"
#include "search/settings.h"
#include "search/thread.h"
#include "search/tt.h"

namespace search {

int hashfull() {
    switch (Settings.hashfull) {
    case HASHFULL_MAIN: return mainTableFill();
    case HASHFULL_PAWN: return eval::pawnTableFill(mainThread().pawns);
    case HASHFULL_PV: return pvCacheFill(mainThread().pvCache);
    default: return -1;
    }
}

} // namespace search

#include "search/hashfull.h"

#include "eval/pawns.h"
#include "search/pvcache.h"
#include "search/settings.h"
#include "search/tt.h"

namespace search {

int hashfull() {
    switch (Settings.hashfull) {
    case HASHFULL_MAIN: return mainTableFill();
    case HASHFULL_PAWN: return int(eval::pawnHashUsed * 1000ULL / (eval::PAWN_HASH_ENTRIES - 1));
    case HASHFULL_PV: return pvCacheFill();
    default: return -1;
    }
}

} // namespace search

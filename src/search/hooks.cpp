#include "search/hooks.h"

namespace search {

namespace {

position::Move noRootMove(SearchThread &, bool) { return position::NO_MOVE; }
position::Move noBookMove(SearchThread &, position::MoveEntry *, int &, bool) { return position::NO_MOVE; }
bool noTablebase(const position::Position &, int, int &) { return false; }

} // namespace

void readNoInput() {}

SearchHooks Hooks = {noRootMove, noBookMove, noTablebase, noTablebase, readNoInput};

} // namespace search

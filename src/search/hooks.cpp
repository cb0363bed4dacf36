#include "search/hooks.h"

namespace search {

namespace {

position::Move noRootMove(bool) { return position::NO_MOVE; }
position::Move noBookMove(position::MoveEntry *, int &, bool) { return position::NO_MOVE; }
bool noTablebase(const position::Position &, int, int &) { return false; }

} // namespace

SearchHooks Hooks = {noRootMove, noBookMove, noTablebase};

} // namespace search

#include "search/report.h"

namespace search {

namespace {

void silentStart() {}
void silentLine(const PvReport &) {}
void silentMove(position::Move, int, int, std::uint64_t) {}
void silentPath(const position::Move *, int) {}
void silentFill(int) {}

} // namespace

SearchReports Reports = {silentStart, silentLine, silentMove, silentPath, silentFill};

} // namespace search

#include "search/timeman.h"

#include "base/clock.h"
#include "base/options.h"
#include "search/control.h"
#include "search/root.h"
#include "search/thread.h"

namespace search {

namespace {

constexpr int DEFAULT_MOVES_TO_GO = 24;
constexpr int MIN_LAG_MARGIN = 10;
constexpr int MAX_LAG_SLACK = 5000;
constexpr std::int32_t FIRST_CUT_DEPTH = 3 * 256; // the first two iterations always run

// Short budgets in sudden death or increment play shrink, more so late in a quiet phase.
std::uint64_t shrinkShortBudget(std::uint64_t t, std::uint32_t fifty) {
    if (t < 200)
        t = t * 7 / 10;
    else if (t < 400)
        t = t * 8 / 10;
    else if (t < 1200)
        t = t * 9 / 10;
    if (t < 1000) {
        if (fifty > 50)
            t = t * 7 / 10;
        else if (fifty > 25)
            t = t * 9 / 10;
    }
    return t;
}

} // namespace

void computeTimeBudget(std::uint32_t fifty) {
    if (SearchState == STATE_PONDERING || (limitFlags & (LIMIT_INFINITE | LIMIT_NODES | LIMIT_DEPTH))) return;
    std::int64_t lag = SearchLimits.lagMargin;
    if (limitFlags & LIMIT_MOVETIME) {
        targetTime = SearchLimits.movetime > lag ? std::uint64_t(SearchLimits.movetime - lag) : 0;
        return;
    }
    int side = engineSide == BLACK_SIDE ? 1 : 0;
    int m = (limitFlags & LIMIT_MOVESTOGO) ? SearchLimits.movestogo + 1 : DEFAULT_MOVES_TO_GO;
    if (m <= 0) m = 1; // a negative moves-to-go would divide by zero or flip the sign
    std::int64_t t = 0;
    // A negative clock (the interface lets the flag fall) counts as no time at all.
    if (limitFlags & LIMIT_CLOCK) t = std::max<std::int32_t>(SearchLimits.time[side], 0) / m;
    if (limitFlags & LIMIT_INC) t += std::max<std::int32_t>(SearchLimits.inc[side], 0);
    std::uint64_t target = t > lag ? std::uint64_t(t - lag) : 0;
    if (!(limitFlags & LIMIT_MOVESTOGO)) target = shrinkShortBudget(target, fifty);
    targetTime = target;
    hardTime = 2 * target;
    if (m <= 2) targetTime = hardTime;
}

bool timeIsUp() {
    if (SearchState == STATE_IDLE) return true;
    if (limitFlags & LIMIT_INFINITE) return false;
    if (limitFlags & LIMIT_DEPTH) return iterationDepth > SearchLimits.depth * 256;
    if (limitFlags & LIMIT_NODES) return nodeCount > std::uint64_t(SearchLimits.nodes);
    std::uint64_t elapsed = base::GetTimeMs() - startTime;
    if (limitFlags & LIMIT_MOVETIME) return elapsed > targetTime;
    if (iterationDepth < FIRST_CUT_DEPTH) return false;
    if (rootFailedLow || !rootScoreKnown) return elapsed > hardTime;
    return elapsed > targetTime;
}

void runSearch() {
    startTime = moveStartTime = base::GetTimeMs();
    // The clock of the side to move in the position about to be searched.
    int side = int(position::GamePosition.sideToMove);
    engineSide = base::optionBool(base::OPTION_ANALYSE_MODE) && limitFlags == LIMIT_INFINITE ? NO_SIDE : side;
    std::int64_t d = std::int64_t(SearchLimits.inc[side]) - std::int64_t(targetTime);
    SearchLimits.lagMargin = d >= 0 && d <= MAX_LAG_SLACK ? std::int32_t(d) + MIN_LAG_MARGIN : MIN_LAG_MARGIN;
    computeTimeBudget(position::GamePosition.fifty);
    startSearch();
    targetTime = base::GetTimeMs() - moveStartTime;
}

} // namespace search

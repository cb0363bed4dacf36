#include "search/timeman.h"

#include "base/clock.h"
#include "base/options.h"
#include "search/context.h"
#include "search/root.h"
#include "search/thread.h"

namespace search {

namespace {

constexpr int DEFAULT_MOVES_TO_GO = 24;
constexpr int MIN_LAG_MARGIN = 10;
constexpr int MAX_LAG_SLACK = 5000;

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
    SearchContext &c = Shared;
    if (searchState() == STATE_PONDERING || (c.limitFlags & (LIMIT_INFINITE | LIMIT_NODES | LIMIT_DEPTH)))
        return;
    std::int64_t lag = c.limits.lagMargin;
    // "Time handicap": a share of the normal budget.
    const std::uint64_t percent = std::uint64_t(c.limit.timePercent);
    if (c.limitFlags & LIMIT_MOVETIME) {
        c.targetTime = c.limits.movetime > lag ? std::uint64_t(c.limits.movetime - lag) : 0;
        c.targetTime = c.targetTime * percent / 100;
        return;
    }
    int side = c.engineSide == BLACK_SIDE ? 1 : 0;
    int m = (c.limitFlags & LIMIT_MOVESTOGO) ? c.limits.movestogo + 1 : DEFAULT_MOVES_TO_GO;
    if (m <= 0) m = 1; // a negative moves-to-go would divide by zero or flip the sign
    std::int64_t t = 0;
    // A negative clock (the interface lets the flag fall) counts as no time at all.
    if (c.limitFlags & LIMIT_CLOCK) t = std::max<std::int32_t>(c.limits.time[side], 0) / m;
    if (c.limitFlags & LIMIT_INC) t += std::max<std::int32_t>(c.limits.inc[side], 0);
    std::uint64_t target = t > lag ? std::uint64_t(t - lag) : 0;
    if (!(c.limitFlags & LIMIT_MOVESTOGO)) target = shrinkShortBudget(target, fifty);
    target = target * percent / 100;
    c.targetTime = target;
    c.hardTime = 2 * target;
    if (m <= 2) c.targetTime = c.hardTime;
}

bool runSearch() {
    SearchContext &c = Shared;
    c.startTime = c.moveStartTime = base::GetTimeMs();
    // The clock of the side to move in the position about to be searched.
    int side = int(position::GamePosition.sideToMove);
    c.engineSide =
        base::optionBool(base::OPTION_ANALYSE_MODE) && c.limitFlags == LIMIT_INFINITE ? NO_SIDE : side;
    std::int64_t d = std::int64_t(c.limits.inc[side]) - std::int64_t(c.targetTime);
    c.limits.lagMargin = d >= 0 && d <= MAX_LAG_SLACK ? std::int32_t(d) + MIN_LAG_MARGIN : MIN_LAG_MARGIN;
    using namespace base;
    c.limit = combinedLimit(optionBool(OPTION_LIMIT_STRENGTH), optionInt(OPTION_ELO), optionValue(OPTION_NPS),
                            optionInt(OPTION_TIME_HANDICAP));
    computeTimeBudget(position::GamePosition.fifty);
    bool moved = startSearch();
    c.limit = {};
    c.targetTime = base::GetTimeMs() - c.moveStartTime;
    return moved;
}

} // namespace search

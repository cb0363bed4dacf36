#include "search/strength.h"

#include "base/clock.h"
#include "search/context.h"
#include "search/hooks.h"
#include "search/thread.h"
#include "search/timeman.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace search {

namespace {

// UCI_Elo against the limit's weakness (0: full strength), fitted from matches against
// Stockfish's own strength limit at 10 s + 0.1 s (tools/match/strength_calibration.sh).
struct CalibrationPoint {
    int elo;
    int weakness;
};
constexpr CalibrationPoint CALIBRATION[] = {
    {1350, 870}, {1500, 790}, {1650, 640}, {1800, 450}, {1950, 220}, {LIMIT_ELO_MAX, 0}};

constexpr double FULL_NPS = 1600000;    // about this machine's full speed
constexpr double HALVING_WEAKNESS = 100; // the node rate halves every 100 points of weakness
constexpr int DEEPEST_CEILING = 24;
constexpr int WEAKNESS_PER_PLY = 40;
constexpr int MAX_CHANCE_PERMILLE = 400;
constexpr int MIN_MARGIN_CP = 10;
constexpr int MAX_EXTRA_MARGIN_CP = 140;
constexpr int LOOSEST_CHOICES = 850;
constexpr int CHOICE_LINES = 3;
constexpr std::uint64_t THROTTLE_STEP_MS = 1;

int weaknessForElo(int elo) {
    const CalibrationPoint *p = CALIBRATION;
    const int n = int(std::size(CALIBRATION));
    if (elo <= p[0].elo) return p[0].weakness;
    for (int i = 1; i < n; ++i)
        if (elo <= p[i].elo)
            return p[i - 1].weakness +
                   (p[i].weakness - p[i - 1].weakness) * (elo - p[i - 1].elo) / (p[i].elo - p[i - 1].elo);
    return p[n - 1].weakness;
}

// A small generator of its own: the choices need no quality, and no state shared with others.
std::uint64_t RandomState = 0;
std::uint32_t randomBelow(std::uint32_t n) {
    if (RandomState == 0)
        RandomState = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) | 1;
    RandomState ^= RandomState << 13;
    RandomState ^= RandomState >> 7;
    RandomState ^= RandomState << 17;
    return std::uint32_t((RandomState >> 11) % n);
}

std::uint64_t elapsedMs() { return base::GetTimeMs() - Shared.startTime; }

// A search the clock or a move time bounds (not an infinite or ponder search).
bool boundedByTime() {
    return (Shared.limitFlags & (LIMIT_CLOCK | LIMIT_INC | LIMIT_MOVESTOGO | LIMIT_MOVETIME)) &&
           !(Shared.limitFlags & LIMIT_INFINITE) && searchState() == STATE_THINKING;
}

// Sleeps one step and reads input; false once the search is over.
bool pauseStep() {
    std::this_thread::sleep_for(std::chrono::milliseconds(THROTTLE_STEP_MS));
    Hooks.readInput();
    if (!searchIdle() && limitReached(LimitCheck::CLOCK)) stopSearch();
    return !searchIdle();
}

} // namespace

StrengthLimit strengthForElo(int elo) {
    StrengthLimit s;
    int w = weaknessForElo(elo);
    if (w <= 0) return s;
    // The choices loosen up to this weakness; beyond it only speed and depth go on falling.
    const int loose = std::min(w, LOOSEST_CHOICES);
    s.npsCeiling = std::int32_t(FULL_NPS * std::exp2(-w / HALVING_WEAKNESS));
    s.depthCeiling = std::max(1, DEEPEST_CEILING - w / WEAKNESS_PER_PLY);
    s.lines = CHOICE_LINES;
    s.chancePermille = MAX_CHANCE_PERMILLE * loose / LOOSEST_CHOICES;
    s.marginCp = MIN_MARGIN_CP + MAX_EXTRA_MARGIN_CP * loose / LOOSEST_CHOICES;
    s.waitsForTime = true;
    return s;
}

StrengthLimit combinedLimit(bool limitStrength, int elo, std::int64_t npsOption, int timePercent) {
    StrengthLimit s = limitStrength ? strengthForElo(elo) : StrengthLimit{};
    if (npsOption > 0 && (s.npsCeiling == 0 || npsOption < s.npsCeiling))
        s.npsCeiling = std::int32_t(std::min<std::int64_t>(npsOption, INT32_MAX));
    s.timePercent = timePercent;
    return s;
}

void throttleSearch() {
    const std::uint64_t ceiling = std::uint64_t(Shared.limit.npsCeiling);
    const std::uint64_t nodes = mainThread().nodeCount.load(std::memory_order_relaxed);
    // Past its budget a timed search runs at full speed: the first iterations, which the clock
    // never cuts, must not make it lose on time.
    const bool timed = boundedByTime();
    while (nodes * 1000 > ceiling * elapsedMs())
        if ((timed && elapsedMs() >= Shared.targetTime) || !pauseStep()) return;
}

void waitForNaturalTime() {
    if (!Shared.limit.waitsForTime || !boundedByTime()) return;
    while (2 * elapsedMs() < Shared.targetTime)
        if (!pauseStep()) return;
}

position::Move chooseLimitedMove(const SearchThread &thread, position::Move best) {
    const StrengthLimit &s = Shared.limit;
    const RootRows &last = thread.rootRows;
    if (s.lines < 2 || last.count < 2 || last.rows[0].move != best) return best;
    if (int(randomBelow(1000)) >= s.chancePermille) return best;
    int n = 1;
    while (n < std::min(last.count, int(s.lines)) && last.rows[n].score >= last.rows[0].score - s.marginCp)
        ++n;
    return n == 1 ? best : last.rows[1 + randomBelow(std::uint32_t(n - 1))].move;
}

} // namespace search

// Playing below full strength, for people who want a game they can win: fewer nodes per second,
// a shallower search, and now and then a near-best second or third choice instead of the best.
#pragma once

#include "position/types.h"

#include <cstdint>

namespace search {

struct SearchThread;

struct StrengthLimit {
    std::int32_t npsCeiling = 0;     // nodes per second, 0 for none
    std::int32_t depthCeiling = 0;   // deepest iteration in plies, 0 for none
    std::int32_t lines = 1;          // root lines searched to choose among
    std::int32_t chancePermille = 0; // how often a line other than the best is played
    std::int32_t marginCp = 0;       // ... when it scores at most this much below the best
    std::int32_t timePercent = 100;  // share of the normal time budget
    bool waitsForTime = false;       // a search cut short by its ceiling still takes some time
};

// Ratings UCI_Elo accepts; the top one is full strength.
constexpr int LIMIT_ELO_MIN = 1350;
constexpr int LIMIT_ELO_MAX = 2050;

// What a rating means for the search (the mapping is calibrated against rated opponents).
StrengthLimit strengthForElo(int elo);
// The limit of the options: UCI_LimitStrength with UCI_Elo, then the personality's "NPS"
// ceiling and "Time handicap" on top.
StrengthLimit combinedLimit(bool limitStrength, int elo, std::int64_t npsOption, int timePercent);

// Slows the main thread down to the limit's node rate, reading input while it waits.
void throttleSearch();
// After a search its ceiling ended early: waits (reading input) until a natural share of the
// move's time has passed.
void waitForNaturalTime();
// The move a limited search plays: now and then a near-best other line of the last pass.
position::Move chooseLimitedMove(const SearchThread &thread, position::Move best);

} // namespace search

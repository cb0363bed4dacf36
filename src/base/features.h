// Switches that turn single search and evaluation features off, to measure what each is worth
// in games. Only a build configured with VORLAN_FEATURE_SWITCHES can change them (through
// "setoption name Off value <names>"); in every other build they are constants and cost nothing.
#pragma once

#include <cstdint>

namespace base {

enum Feature : std::uint32_t {
    F_NULL_MOVE = 1u << 0,
    F_LATE_MOVE_REDUCTIONS = 1u << 1,
    F_FUTILITY = 1u << 2,
    F_ENHANCED_CUTOFF = 1u << 3,
    F_LAZY_EVAL = 1u << 4,
    F_CHECK_EXTENSIONS = 1u << 5,
    F_PV_CACHE_ORDER = 1u << 6,
    F_KILLERS = 1u << 7,
    F_HISTORY = 1u << 8,
    F_MOBILITY = 1u << 9,
    F_KING_SAFETY = 1u << 10,
    F_PASSED_PAWNS = 1u << 11,
    F_PAWN_STRUCTURE = 1u << 12,
    F_ENDGAME_KNOWLEDGE = 1u << 13,
    // Not a feature but an experiment: "off" reads the king-wing tables from the other wing.
    F_KING_WING_ORIENTATION = 1u << 14,
};

// The names "setoption name Off value ..." takes, in bit order.
inline constexpr const char *FEATURE_NAMES[] = {
    "nullmove", "lmr",     "futility", "etc",     "lazy",    "checkext",  "pvcache", "killers",
    "history",  "mobility", "kingsafety", "passed", "pawns", "endgame", "kingwing"};

#ifdef VORLAN_FEATURE_SWITCHES
inline std::uint32_t FeaturesOff = 0;
#else
inline constexpr std::uint32_t FeaturesOff = 0;
#endif

inline bool featureOn(Feature f) { return (FeaturesOff & f) == 0; }

} // namespace base

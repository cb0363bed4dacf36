// Option values the search reads. The options table writes them through its handlers.
#pragma once

#include <cstdint>

namespace search {

enum HashfullSelection : std::int32_t {
    HASHFULL_NONE = 0,
    HASHFULL_MAIN = 1,
    HASHFULL_PAWN = 2,
    HASHFULL_PV = 3
};

struct SearchSettings {
    bool nullMove = true;                  // "Nullmove"
    std::int32_t multiPv = 1;              // "MultiPV", 1..256
    bool showCurrLine = false;             // "UCI_ShowCurrLine"
    std::int32_t contempt = 10;            // "Contempt", -100..100
    std::int32_t hashMb = 128;             // "Hash", 1..2048
    std::int32_t hashfull = HASHFULL_NONE; // "Hashfull"
    // Win/draw/loss tables: the most pieces they answer for (0: none, or "SyzygyProbeLimit")
    // and the least remaining depth of a probe ("SyzygyProbeDepth", in 1/256 ply).
    std::int32_t tablePieces = 0;
    std::int32_t tableProbeDepth = 256;
};

extern SearchSettings Settings;

} // namespace search

#include "search/control.h"

namespace search {

volatile std::uint8_t SearchState = STATE_IDLE;
std::uint32_t limitFlags = 0;
Limits SearchLimits{};
std::uint64_t startTime = 0, moveStartTime = 0, targetTime = 0, hardTime = 0;
std::uint64_t nodeCount = 0;
std::uint64_t quiescenceNodeCount = 0;
std::int32_t iterationDepth = 0;
std::int32_t extensionCeiling = 0;
RootBestMove RootBest{};
position::Move instantMove = 0;
std::int32_t rootFailedLow = 0;
std::int32_t rootScoreKnown = 0;
std::int32_t engineSide = 2;
std::int32_t suppressMoveOutput = 0;

} // namespace search

#include "search/depth_driver.h"

#include "base/clock.h"
#include "search/control.h"
#include "search/root.h"

namespace search {

using namespace position;

DepthResult searchToDepth(const Position &root, int maxDepth, std::uint64_t nodeLimit) {
    // The real root driver on `root`, as the console's speed commands run it, without the move line.
    Position game = GamePosition;
    GamePosition = root;
    engineSide = NO_SIDE;
    limitFlags = LIMIT_DEPTH | (nodeLimit ? std::uint32_t(LIMIT_NODES) : 0u);
    SearchLimits.depth = maxDepth;
    SearchLimits.nodes = std::int32_t(nodeLimit);
    startTime = base::GetTimeMs();
    SearchState = STATE_THINKING;
    suppressMoveOutput = 1;
    startSearch();
    suppressMoveOutput = 0;
    GamePosition = game;
    bool stopped = nodeLimit && nodeCount >= nodeLimit;
    return {RootBest.bestMove, RootBest.bestScore, iterationDepth / ONE_PLY, nodeCount, stopped};
}

} // namespace search

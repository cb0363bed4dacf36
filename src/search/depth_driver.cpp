#include "search/depth_driver.h"

#include "base/clock.h"
#include "search/context.h"
#include "search/root.h"
#include "search/thread.h"

namespace search {

using namespace position;

DepthResult searchToDepth(const Position &root, int maxDepth, std::uint64_t nodeLimit) {
    // The real root driver on `root`, as the console's speed commands run it.
    Position game = GamePosition;
    GamePosition = root;
    SearchContext &c = Shared;
    c.engineSide = NO_SIDE;
    c.limitFlags = LIMIT_DEPTH | (nodeLimit ? std::uint32_t(LIMIT_NODES) : 0u);
    c.limits.depth = maxDepth;
    c.limits.nodes = std::int32_t(nodeLimit);
    c.startTime = base::GetTimeMs();
    setSearchState(STATE_THINKING);
    startSearch();
    GamePosition = game;
    const SearchThread &t = mainThread();
    std::uint64_t nodes = searchedNodes();
    bool stopped = nodeLimit && nodes >= nodeLimit;
    return {c.rootBest.bestMove, c.rootBest.bestScore, wholePlies(t.iterationDepth), nodes, stopped};
}

} // namespace search

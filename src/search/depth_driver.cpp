#include "search/depth_driver.h"

#include "eval/pawns.h"
#include "eval/tables.h"
#include "platform/platform.h"
#include "position/movegen.h"
#include "search/control.h"
#include "search/pvcache.h"
#include "search/root_hooks.h"
#include "search/search.h"
#include "search/thread.h"

#include <cstring>

namespace search {

using namespace position;

namespace {

constexpr int ASPIRATION = 30;

void prepareRoot(SearchThread &t, int depth, int alpha, int beta) {
    SearchFrame &root = t.frames[0];
    root.depth = depth;
    root.alpha = alpha;
    root.beta = beta;
    root.state = PvNode;
    root.extension = 0;
    root.checkCount = 0;
    t.ply = 0;
}

} // namespace

DepthResult searchToDepth(const Position &rootPos, int maxDepth, std::uint64_t nodeLimit) {
    SearchThread &t = *Threads[0];
    t.position = rootPos;
    eval::buildBlendedPst(rootPos);
    eval::setPawnHashStore(true);
    pvCacheAge();
    shiftKillers(t);
    t.ply = 0;
    startTime = platform::wallClockMs();
    nodeCount = 0;
    quiescenceNodeCount = 0;
    RootBest = {};
    rootFailedLow = 0;
    std::memset(static_cast<void *>(&t.frames[0]), 0, sizeof(SearchFrame));
    limitFlags = LIMIT_DEPTH | (nodeLimit ? std::uint32_t(LIMIT_NODES) : 0u);
    SearchLimits.depth = maxDepth;
    SearchLimits.nodes = std::int32_t(nodeLimit);
    SearchState = STATE_THINKING;

    DepthResult out{NO_MOVE, 0, 0, 0, false};
    int count = GenerateLegal(t.position, t.moveStack);
    if (count > 0) {
        setBestMove(entryMove(t.moveStack[0]), NO_MOVE, 0);
        int best = MATE, result = -MATE;
        for (iterationDepth = ONE_PLY; iterationDepth <= maxDepth * ONE_PLY && SearchState != STATE_IDLE;
             iterationDepth += ONE_PLY) {
            extensionCeiling = 2 * iterationDepth;
            int alpha = result - ASPIRATION, beta = best + ASPIRATION;
            prepareRoot(t, iterationDepth, alpha, beta);
            result = search(0);
            best = RootBest.bestScore;
            if (result <= alpha) rootFailedLow = 1;
            if (SearchState != STATE_IDLE && (result <= alpha || best >= beta)) {
                rootScoreKnown = 1;
                prepareRoot(t, iterationDepth, -INFINITE_SCORE, INFINITE_SCORE);
                result = search(0);
                best = RootBest.bestScore;
                rootFailedLow = 0;
            }
            out.depth = iterationDepth / ONE_PLY;
        }
        iterationDepth -= ONE_PLY;
    }
    out.stopped = SearchState == STATE_IDLE;
    SearchState = STATE_IDLE;
    eval::setPawnHashStore(false);
    t.position = rootPos;
    t.ply = -1;
    out.bestMove = RootBest.bestMove;
    out.score = RootBest.bestScore;
    out.nodes = nodeCount;
    return out;
}

} // namespace search

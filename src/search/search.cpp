#include "search/search.h"

#include "position/makemove.h"
#include "search/context.h"
#include "search/hashfull.h"
#include "search/hooks.h"
#include "search/picker.h"
#include "search/report.h"
#include "search/search_internal.h"
#include "search/see.h"
#include "search/settings.h"
#include "search/strength.h"
#include "search/timeman.h"

#include <cstdint>
#include <cstring>

namespace search {

using namespace position;

int futilityMargin[20];

namespace {

constexpr int FUTILITY_SCALE = 172; // margin(k) = (k - 4)^2 * 172 / 100 + 103, k in quarter plies
constexpr int FUTILITY_BASE = 103;
constexpr std::uint64_t INPUT_POLL_NODES = 4096;
constexpr std::uint64_t HASHFULL_NODES = 65536;
constexpr std::uint64_t THROTTLE_NODES = 64; // a node-rate ceiling is kept to within so many nodes
constexpr std::uintptr_t LIST_ALIGN = 64;
constexpr int LIST_GAP_BYTES = 256;
// The search line adds at most one history entry per frame: keep that much room at the root.
constexpr std::uint32_t HISTORY_KEEP = KEY_HISTORY_SIZE - FRAME_COUNT - 1;

// Drops the oldest repetition entries so that the deepest line cannot overflow the history.
void makeHistoryRoom(Position &pos) {
    if (pos.historyCount <= HISTORY_KEEP) return;
    std::uint32_t drop = pos.historyCount - HISTORY_KEEP;
    std::memmove(pos.keyHistory, pos.keyHistory + drop, sizeof(pos.keyHistory[0]) * HISTORY_KEEP);
    pos.historyCount = HISTORY_KEEP;
}

} // namespace

void buildFutilityMargins() {
    for (int k = 0; k < 20; ++k)
        futilityMargin[k] = ((k - 4) * (k - 4) * FUTILITY_SCALE) / 100 + FUTILITY_BASE;
}

void initSearch() {
    buildExchangeTable();
    buildFutilityMargins();
    resetHistory();
}

bool pollSearch(bool exempt) {
    if (searchIdle()) return true;
    if (exempt) return false;
    if (limitReached(LimitCheck::NODE)) {
        stopSearch();
        return true;
    }
    const std::atomic<std::uint64_t> &nodes = mainThread().nodeCount;
    if (Shared.limit.npsCeiling && nodes.load(std::memory_order_relaxed) % THROTTLE_NODES == 0) {
        throttleSearch();
        if (searchIdle()) return true;
    }
    if (nodes.load(std::memory_order_relaxed) % INPUT_POLL_NODES == 0) {
        Hooks.readInput();
        if (limitReached(LimitCheck::CLOCK)) stopSearch();
    }
    if (nodes.load(std::memory_order_relaxed) % HASHFULL_NODES == 0) {
        if (searchIdle()) return true;
        if (int fill = hashfull(); fill >= 0) Reports.hashFull(fill);
    }
    return searchIdle();
}

namespace detail {

MoveEntry *childList(const SearchFrame &f) {
    auto end = reinterpret_cast<std::uintptr_t>(f.moves + f.moveCount);
    end &= ~(LIST_ALIGN - 1);
    return reinterpret_cast<MoveEntry *>(end + LIST_GAP_BYTES);
}

void extendNode(const Run &r, SearchFrame &f, int x) {
    int room = r.thread.extensionCeiling - f.extension;
    if (x > room) x = room;
    f.depth += x;
    f.extension += x;
}

void pushChild(Run &r, int alpha, int beta, FrameState state, FrameState resume, int adjust) {
    SearchFrame &parent = current(r);
    parent.state = resume;
    int ply = ++r.thread.ply;
    SearchFrame &child = r.thread.frames[ply];
    child.depth = parent.depth - ONE_PLY;
    child.extension = parent.extension;
    child.checkCount = parent.checkCount;
    child.alpha = alpha;
    child.beta = beta;
    // Only quiescence nodes may stand at the last plies: they end the line at the frame stack's
    // end, which also keeps every killer and history access in range.
    child.state = ply >= MAX_PLY ? QuiescenceNode : state;
    extendNode(r, child, adjust);
    if (Settings.showCurrLine && r.thread.index == 0) reportCurrentLine(r.thread);
}

bool countAndPoll(Run &r, bool quiescence) {
    countNode(r.thread);
    if (quiescence) ++r.thread.quiescenceNodeCount;
    if (r.thread.index == 0) return pollSearch(false);
    // A helper stops the search itself at the node limit: the main thread may not be running.
    if (Shared.nodeLimit && nodeLimitReached()) stopSearch();
    return searchIdle();
}

void reportCurrentLine(const SearchThread &thread) {
    Move line[FRAME_COUNT];
    for (int ply = 0; ply < thread.ply; ++ply)
        line[ply] = thread.frames[ply].currentMove;
    Reports.currentLine(line, thread.ply);
}

bool isRepetition(const Position &pos) { return RepetitionCount(pos, pos.key, pos.sideToMove) > 0; }

bool kingCapturable(const Position &pos) {
    Colour mover = Colour(pos.sideToMove ^ 1);
    return IsSquareAttacked(pos, Colour(pos.sideToMove), pos.kingSquare[mover]);
}

int fewRepliesExtension(int count) {
    switch (count) {
    case 1: return ONE_PLY * 3 / 4;
    case 2: return ONE_PLY / 2;
    case 3: return ONE_PLY / 4;
    default: return 0;
    }
}

} // namespace detail

int search(SearchThread &thread) {
    using namespace detail;
    Run r{thread, thread.position, 0};
    if (r.thread.ply == 0) makeHistoryRoom(r.pos);
    for (;;) {
        if (r.thread.ply < 0) {
            r.thread.ply = 0;
            return r.handed;
        }
        Step step;
        switch (current(r).state) {
        case PvNode: step = pvNode(r); break;
        case PvAfterQuiescence:
        case PvAfterFirst:
        case RootAfterProbe:
        case RootAfterResearch:
        case PvAfterScout:
        case PvAfterResearch: step = pvResume(r); break;
        case ScoutNode: step = scoutNode(r); break;
        case AfterNullMove: step = afterNullMove(r); break;
        case ScoutAfterChild: step = scoutAfterChild(r); break;
        case ScoutAfterResearch: step = scoutAfterResearch(r); break;
        case QuiescenceNode: step = quiescenceNode(r); break;
        case QuiescenceAfterChild: step = quiescenceAfterChild(r); break;
        default: return r.handed; // Exit and unknown states end the routine
        }
        if (step == STOP) return 0;
    }
}

} // namespace search

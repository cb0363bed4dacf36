#include "search/root.h"

#include "base/clock.h"
#include "base/features.h"
#include "base/options.h"
#include "eval/tables.h"
#include "eval/weights.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/hooks.h"
#include "search/picker.h"
#include "search/pool.h"
#include "search/pvcache.h"
#include "search/report.h"
#include "search/search.h"
#include "search/settings.h"
#include "search/strength.h"
#include "search/thread.h"
#include "search/timeman.h"
#include "search/tt.h"

#include <algorithm>
#include <cstring>

namespace search {

using namespace position;

namespace {

constexpr int ASPIRATION = 30;
// History counters order quiet moves once two iterations have filled them.
constexpr int HISTORY_FROM_DEPTH = plies(3);
constexpr std::uint64_t FULL_PV_MIN_TARGET = 10000; // shorter timed moves print one PV move

void resetRootFrame(SearchThread &t) { std::memset(&t.frames[0], 0, sizeof t.frames[0]); }

void setRootWindow(SearchThread &t, int alpha, int beta) {
    t.frames[0].alpha = alpha;
    t.frames[0].beta = beta;
    t.frames[0].state = PvNode;
}

bool inList(Move m, const MoveEntry *list, int n) {
    for (int i = 0; i < n; ++i)
        if (entryMove(list[i]) == m) return true;
    return false;
}

// The move the transposition table, or else the thread's PV move-list cache (its move marked
// best), knows for `pos`, when it is one of the `n` legal moves in `legal`.
Move knownMove(SearchThread &thread, Position &pos, int ply, const MoveEntry *legal, int n) {
    Move hashMove = probePv(pos, ply, 0, -INFINITE_SCORE, INFINITE_SCORE).move;
    if (hashMove != NO_MOVE && inList(hashMove, legal, n)) return hashMove;
    MoveEntry cached[MAX_MOVES];
    int count = 0;
    if (pvCacheLookup(thread.pvCache, pos, cached, count) >= 0)
        for (int i = 0; i < count; ++i)
            if (entryScore(cached[i]) == INFINITE_SCORE && inList(entryMove(cached[i]), legal, n))
                return entryMove(cached[i]);
    return NO_MOVE;
}

// The choice of collectPv for a position that gives no first move; 0 when there is none.
Move nextPvMove(SearchThread &thread, Position &pos, int ply) {
    if (RepetitionCount(pos, pos.key, pos.sideToMove) >= 2) return NO_MOVE;
    MoveEntry legal[MAX_MOVES];
    int n = GenerateLegal(pos, legal);
    if (n == 0) return NO_MOVE;
    if (n == 1) return entryMove(legal[0]);
    UndoState undo = saveUndo(pos);
    int lowest = INFINITE_SCORE;
    Move lowestMove = NO_MOVE;
    for (int i = 0; i < n; ++i) {
        Move m = entryMove(legal[i]);
        PieceType captured;
        MakeMove(pos, m, captured);
        int score;
        if (Hooks.probeTablebase(pos, ply + 1, score) && score < lowest) {
            lowest = score;
            lowestMove = m;
        }
        UnmakeMove(pos, m, captured, undo);
    }
    if (lowestMove != NO_MOVE && (lowest < -MATE_BOUND || lowest > MATE_BOUND)) return lowestMove;
    return knownMove(thread, pos, ply, legal, n);
}

bool timedSearch() { return Shared.limitFlags & (LIMIT_CLOCK | LIMIT_INC | LIMIT_MOVESTOGO); }

// MultiPV result set. During an iteration only the rows that change are reported, so a client
// that keeps the last line of each rank can see stale ranks; the whole set, N different moves
// in descending order, is reported again after each completed iteration and when the search ends.

// Best first; equal scores keep their order. In place: the search allocates nothing.
void sortRows(RootRow *rows, int count) {
    for (int i = 1; i < count; ++i) {
        RootRow r = rows[i];
        int j = i;
        for (; j > 0 && rows[j - 1].score < r.score; --j)
            rows[j] = rows[j - 1];
        rows[j] = r;
    }
}

void reportRows(SearchThread &t, const RootRow *rows, int count) {
    int n = std::min(count, int(Settings.multiPv));
    for (int k = 0; k < n; ++k)
        reportSearchInfo(t, rows[k].score, k + 1, rows[k].move);
}

// The set when a search ends: the last completed pass, updated by the moves the interrupted
// full-depth pass has already searched.
void reportFinalRows(SearchThread &t) {
    const SearchFrame &root = t.frames[0];
    const RootRows &last = t.rootRows;
    RootRow rows[MAX_MOVES];
    int count = last.count;
    std::copy(last.rows, last.rows + count, rows);
    if (!last.complete && root.depth >= root.targetDepth && root.moveCount != NOT_GENERATED) {
        for (int i = 0; i < root.moveIndex && i < root.moveCount; ++i) {
            Move m = entryMove(root.moves[i]);
            RootRow *row = std::find_if(rows, rows + count, [m](const RootRow &r) { return r.move == m; });
            if (row == rows + count) row = &rows[count++];
            *row = {m, entryScore(root.moves[i])};
        }
        sortRows(rows, count);
    } else if (last.complete && last.printed) {
        return; // the completed iteration's set is already the last thing reported
    }
    if (count == 0)
        reportSearchInfo(t, Shared.rootBest.bestScore, 1, Shared.rootBest.bestMove);
    else
        reportRows(t, rows, count);
}

// The interface takes a move only after it has released a ponder search.
bool holdsPonderMove() { return Shared.holdMoveUntilReleased && searchState() == STATE_PONDERING; }

// Polls the input until the interface releases the move (`held` turns false). The poll reads
// input by node count, so the count runs on while waiting and is put back afterwards.
template <class Held> void waitForRelease(SearchThread &t, Held held) {
    const std::uint64_t searched = t.nodeCount;
    while (held()) {
        countNode(t);
        pollSearch(false);
    }
    t.nodeCount.store(searched, std::memory_order_relaxed);
}

// Iterative deepening with aspiration windows on the thread's root position. The main thread
// applies the limits and reports; a helper searches on until the search stops, the odd ones a
// ply ahead, so that the threads do not all work on the same depth at once.
void deepen(SearchThread &t) {
    const bool main = t.index == 0;
    RootBestMove &rootBest = Shared.rootBest;
    int best = MATE, result = -MATE;
    t.iterationDepth = main ? ONE_PLY : plies(1 + t.index % 2);
    t.frames[0].depth = t.iterationDepth;
    t.rootRows.count = 0;
    bool endedByItself = false;
    for (bool first = true;; first = false) {
        if (!first && (t.iterationDepth > plies(Shared.maxDepth) || endedByItself ||
                       (main ? !iterationMayStart() : searchIdle())))
            break;
        t.rootRows.complete = t.rootRows.printed = false;
        t.extensionCeiling = 2 * t.iterationDepth;
        t.historyOrdering = t.iterationDepth >= HISTORY_FROM_DEPTH && base::featureOn(base::F_HISTORY);
        int beta = best + ASPIRATION, alpha = result - ASPIRATION;
        setRootWindow(t, alpha, beta);
        result = search(t);
        best = main ? rootBest.bestScore : result;
        if (main && best >= beta && !iterationMayStart()) stopSearch();
        if (result <= alpha) t.rootFailedLow = 1;
        if (!searchIdle() && (result <= alpha || best >= beta)) {
            t.rootScoreKnown = 1;
            setRootWindow(t, -INFINITE_SCORE, INFINITE_SCORE);
            result = search(t);
            best = main ? rootBest.bestScore : result;
            t.rootFailedLow = 0;
        }
        if (main && t.rootRows.complete && !searchIdle()) {
            reportRows(t, t.rootRows.rows, t.rootRows.count);
            t.rootRows.printed = true;
        }
        // Being mated within the horizon ends the search; a winning mate does not.
        if (main && -2 - best > MATE - wholePlies(t.iterationDepth)) {
            if (holdsPonderMove())
                endedByItself = true;
            else
                stopSearch();
        }
        t.iterationDepth += ONE_PLY;
        t.frames[0].depth += ONE_PLY;
    }
    t.iterationDepth -= ONE_PLY;
}

// A new search of the thread's position: counters, root frame and per-search aging.
void prepareThread(SearchThread &t) {
    t.ply = 0;
    t.nodeCount.store(0, std::memory_order_relaxed);
    t.tableHits.store(0, std::memory_order_relaxed);
    t.quiescenceNodeCount = 0;
    t.rootFailedLow = 0;
    resetRootFrame(t);
}

// The helpers search the main thread's root, restricted as its root is ("searchmoves", book).
void startHelpersOn(SearchThread &main, const Position &root) {
    // A node-rate ceiling is the main thread's: helpers would only add to what it is meant to cap.
    if (ThreadCount == 1 || Shared.limit.npsCeiling) return;
    MoveEntry list[MAX_MOVES];
    int count = 0;
    bool restricted = pvCacheLookup(main.pvCache, root, list, count) >= 0;
    for (int i = 1; i < ThreadCount; ++i) {
        SearchThread &h = *Threads[i];
        h.position = root;
        if (restricted) pvCacheReplace(h.pvCache, root, list, count);
    }
    startHelpers();
}

// The root driver: book and instant moves, then iterative deepening; false without a legal move.
bool think(SearchThread &t) {
    Position &pos = t.position;
    RootBestMove &rootBest = Shared.rootBest;
    prepareThread(t);
    for (int i = 1; i < ThreadCount; ++i) { // the helpers wait: their counts start with this search
        Threads[i]->nodeCount.store(0, std::memory_order_relaxed);
        Threads[i]->tableHits.store(0, std::memory_order_relaxed);
    }
    rootBest = {};
    // 1. No legal move: nothing to search. An interface that waits for every move still gets
    // its answer, once an infinite or ponder search has been stopped or hit.
    if (GenerateLegal(pos, t.moveStack, orderingHistory(t)) == 0) {
        if (Shared.holdMoveUntilReleased)
            waitForRelease(t, [] { return !searchIdle() && (Shared.limitFlags & LIMIT_INFINITE); });
        return false;
    }
    setBestMove(entryMove(t.moveStack[0]), 0, 0);
    // 2. Book and instant moves.
    bool timed = timedSearch() && searchState() == STATE_THINKING;
    Shared.instantMove = Hooks.rootBookMove(t, timed);
    if (timed && Shared.instantMove != NO_MOVE) {
        setBestMove(Shared.instantMove, 0, 0);
        stopSearch();
    }
    const Position root = pos;
    if (!searchIdle()) {
        // 3. Iterative deepening, helpers alongside.
        startHelpersOn(t, root);
        deepen(t);
        waitForNaturalTime();
        // A ponder search that has ended by itself (depth ceiling, being mated) keeps its move
        // until ponderhit or stop: an interface reads a move during pondering as out of turn.
        waitForRelease(t, holdsPonderMove);
        pos = root;
        t.ply = 0;
        if (Settings.multiPv > 1)
            reportFinalRows(t);
        else
            reportSearchInfo(t, rootBest.bestScore, 1, rootBest.bestMove);
        if (Move chosen = chooseLimitedMove(t, rootBest.bestMove); chosen != rootBest.bestMove) {
            rootBest.bestMove = chosen;
            rootBest.ponderMove = NO_MOVE;
        }
    }
    if (rootBest.ponderMove == NO_MOVE) rootBest.ponderMove = findPonderMove(t, rootBest.bestMove);
    return true;
}

} // namespace

void recordRootRows(SearchThread &thread, const MoveEntry *moves, int count) {
    RootRows &last = thread.rootRows;
    for (int i = 0; i < count; ++i)
        last.rows[i] = {entryMove(moves[i]), entryScore(moves[i])};
    sortRows(last.rows, count);
    last.count = count;
    last.complete = true;
}

bool startSearch() {
    SearchThread &t = mainThread();
    Reports.searchStarted();
    t.position = GamePosition;
    Colour us = Colour(t.position.sideToMove);
    eval::buildBlendedPst(t.position);
    using namespace base;
    eval::setEvaluationWeights(optionInt(OPTION_AGGRESSION), optionInt(OPTION_CAUTION),
                               optionInt(OPTION_ACTIVITY), optionInt(OPTION_RESTRAINT),
                               optionInt(OPTION_PASSERS), optionInt(OPTION_PAWN_STRUCTURE), us);
    Settings.hashfull = base::hashfullChoice();
    Shared.maxDepth = optionInt(OPTION_MAX_DEPTH);
    if (Shared.limit.depthCeiling) Shared.maxDepth = std::min(Shared.maxDepth, Shared.limit.depthCeiling);
    // A strength limit chooses among a few lines, so it searches them all.
    Settings.multiPv = std::max(optionInt(OPTION_MULTIPV), Shared.limit.lines);
    Shared.nodeLimit =
        Shared.limitFlags & LIMIT_NODES ? std::uint64_t(std::int64_t(Shared.limits.nodes)) : std::uint64_t(0);
    pvCacheAge(t.pvCache);
    shiftKillers(t);
    bool moved = think(t);
    stopSearch();
    waitForHelpers();
    t.ply = -1;
    return moved;
}

void helperSearch(SearchThread &t) {
    prepareThread(t);
    pvCacheAge(t.pvCache);
    shiftKillers(t);
    deepen(t);
    t.ply = -1;
}

void setBestMove(Move move, Move ponder, std::int32_t score) {
    RootBestMove &rootBest = Shared.rootBest;
    if (move == NO_MOVE || searchIdle()) return;
    if (move != rootBest.bestMove) rootBest.bestTime = base::GetTimeMs() - Shared.startTime;
    rootBest.bestScore = score;
    rootBest.bestMove = move;
    rootBest.ponderMove = ponder;
    rootBest.bestDepth = wholePlies(mainThread().iterationDepth);
}

void collectPv(SearchThread &thread, PvLine &out, Move first) {
    out.count = 0;
    Position &pos = thread.position;
    // Full PV off: a timed, thinking search shows its first move only.
    bool shortPv =
        !base::optionBool(base::OPTION_FULL_PV) ||
        (Shared.targetTime < FULL_PV_MIN_TARGET && timedSearch() && searchState() == STATE_THINKING);
    UndoState undo[MAX_PV_LENGTH];
    PieceType captured[MAX_PV_LENGTH];
    Move move = first;
    if (move == NO_MOVE && !shortPv) move = nextPvMove(thread, pos, 0);
    while (move != NO_MOVE && out.count < MAX_PV_LENGTH) {
        undo[out.count] = saveUndo(pos);
        MakeMove(pos, move, captured[out.count]);
        out.moves[out.count++] = move;
        move = shortPv ? NO_MOVE : nextPvMove(thread, pos, int(out.count));
    }
    for (std::uint32_t i = out.count; i-- > 0;)
        UnmakeMove(pos, out.moves[i], captured[i], undo[i]);
}

void reportSearchInfo(SearchThread &thread, std::int32_t score, std::int32_t multipvIndex, Move first) {
    PvLine pv;
    collectPv(thread, pv, first);
    PvReport report{multipvIndex,    wholePlies(thread.iterationDepth),
                    score,           base::GetTimeMs() - Shared.startTime,
                    searchedNodes(), searchedTableHits(), &pv};
    Reports.principalVariation(report);
}

Move findPonderMove(SearchThread &thread, Move best) {
    if (best == NO_MOVE) return NO_MOVE;
    Position &pos = thread.position;
    UndoState undo = saveUndo(pos);
    PieceType captured;
    MakeMove(pos, best, captured);
    MoveEntry replies[MAX_MOVES];
    int n = GenerateLegal(pos, replies, orderingHistory(thread));
    Move choice = NO_MOVE;
    if (n == 1) choice = entryMove(replies[0]);
    if (n > 1) {
        int bookCount = n;
        choice = Hooks.selectBookMove(thread, replies, bookCount, false);
        if (choice == NO_MOVE) choice = knownMove(thread, pos, 1, replies, n);
        if (choice == NO_MOVE) {
            int bestValue = -INFINITE_SCORE - 1;
            for (int i = 0; i < n; ++i) {
                Move m = entryMove(replies[i]);
                int value = exchangeOrderScore(pos, m);
                if (value > bestValue) {
                    bestValue = value;
                    choice = m;
                }
            }
        }
    }
    UnmakeMove(pos, best, captured, undo);
    return choice;
}

} // namespace search

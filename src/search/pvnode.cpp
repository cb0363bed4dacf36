// PV nodes: legal moves ordered by a cheap score and then by subtree size, internal deepening,
// the PV move-list cache, scout-and-re-search of later moves, and the root's reporting duties.
#include "base/features.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/draw.h"
#include "search/picker.h"
#include "search/pvcache.h"
#include "search/report.h"
#include "search/root_hooks.h"
#include "search/search_internal.h"
#include "search/see.h"
#include "search/settings.h"
#include "search/tt.h"

namespace search::detail {

using namespace position;

namespace {

constexpr int IID_DEPTH = plies(4); // internal deepening from this depth on, without a hash move
constexpr int IID_STEP = plies(2);
constexpr int MULTIPV_WINDOW = 30;
constexpr int CACHE_DEPTH = plies(3); // PV nodes from this depth on keep their list in the cache
constexpr int FIRST_MOVE_SCORE = 32767;
constexpr int CAPTURE_BONUS = 100;
constexpr int CAPTURE_FLOOR = -100;
constexpr int SIZE_LIMIT = 32767; // subtree sizes are kept as 15-bit list scores

// The root of the thread's own search; only the main thread reports from it.
bool isRoot(const Run &r) { return r.thread.ply == 0; }
bool reports(const Run &r) { return r.thread.index == 0; }

int findMove(const SearchFrame &f, Move m) {
    for (int i = 0; i < f.moveCount; ++i)
        if (entryMove(f.moves[i]) == m) return i;
    return -1;
}

void setScore(SearchFrame &f, int i, int score) { f.moves[i] = makeEntry(entryMove(f.moves[i]), score); }

// Ordering scores of a freshly generated list: the table move, captures, killers, the rest.
void scoreMoves(Run &r, SearchFrame &f) {
    Position &pos = r.pos;
    Colour us = Colour(pos.sideToMove);
    int k = killerScore();
    int ply = r.thread.ply;
    Move killer1 = r.thread.killers[ply][0], killer2 = r.thread.killers[ply][1];
    for (int i = 0; i < f.moveCount; ++i) {
        Move m = entryMove(f.moves[i]);
        Square from = moveFrom(m), to = moveTo(m);
        PieceType type = pos.typeOn(from);
        int score = OrderingPST[type][us][to] - OrderingPST[type][us][from];
        bool ep = isEnPassant(pos, m);
        PieceType promo = movePromotion(m);
        if (ep) score += EN_PASSANT_BONUS;
        if (promo != NO_PROMOTION) score += CaptureValue[promo] - PROMOTION_OFFSET;
        int exchange = see(pos, m);
        score += exchange;
        if (score > CAPTURE_FLOOR && (!pos.isEmpty(to) || ep || promo != NO_PROMOTION))
            score += CAPTURE_BONUS;
        if (exchange > -k) {
            if (m == killer1 && score < k)
                score = k;
            else if (m == killer2 && score < k - 1)
                score = k - 1;
        }
        setScore(f, i, score);
    }
}

void reportBest(Run &r, Move move, Move reply, int score) {
    if (current(r).alpha > -INFINITE_SCORE) r.thread.rootScoreKnown = 1;
    if (reports(r)) setBestMove(move, reply, score);
}

void reportLine(Run &r, int score, int row, Move move) {
    if (reports(r)) reportSearchInfo(r.thread, score, row, move);
}

Step finishNode(Run &r);
Step startIteration(Run &r);

// Picks the next move of the current pass, makes it and pushes its child.
Step nextChild(Run &r) {
    Position &pos = r.pos;
    SearchFrame &f = current(r);
    bool root = isRoot(r);
    while (f.moveIndex < f.moveCount) {
        MoveEntry e = selectBest(f.moves, f.moveIndex, f.moveCount);
        Move m = entryMove(e);
        f.currentMove = m;
        if (root && reports(r) && f.depth >= f.targetDepth)
            Reports.currentMove(m, f.moveIndex, wholePlies(r.thread.iterationDepth), searchedNodes());
        bool ep = isEnPassant(pos, m);
        PieceType captured;
        MakeMove(pos, m, captured);
        f.undo = captured;
        if (ep && kingCapturable(pos)) {
            // An en-passant evasion that uncovers a line onto the king: drop it from the list.
            UnmakeMove(pos, m, captured, f.savedState);
            f.moves[f.moveIndex] = f.moves[--f.moveCount];
            continue;
        }
        f.nodesBefore = fullWidthNodes(r.thread);
        prefetchChild(r, f.depth >= QUIESCENCE_BELOW);
        if (f.depth < QUIESCENCE_BELOW) {
            pushChild(r, -f.beta, -f.alpha, QuiescenceNode, PvAfterQuiescence, 0);
        } else if (f.moveIndex == 0) {
            pushChild(r, -f.beta, -f.alpha, PvNode, PvAfterFirst, 0);
        } else if (root && f.moveIndex < Settings.multiPv && f.depth >= f.targetDepth) {
            int v = entryScore(e);
            pushChild(r, -MULTIPV_WINDOW - v, MULTIPV_WINDOW - v, PvNode, RootAfterProbe, 0);
        } else {
            pushChild(r, -f.beta, -f.alpha, ScoutNode, PvAfterScout, 0);
        }
        return CONTINUE;
    }
    f.depth += IID_STEP;
    if (f.depth <= f.targetDepth) return startIteration(r);
    return finishNode(r);
}

// Starts one pass of the internal deepening: every move searched once more, one ply deeper.
Step startIteration(Run &r) {
    SearchFrame &f = current(r);
    f.orderShift = 0;
    f.bestScore = INITIAL_BEST;
    f.passAlpha = f.alpha;
    if (f.bestMove) {
        int i = findMove(f, f.bestMove);
        if (i >= 0) setScore(f, i, FIRST_MOVE_SCORE);
    }
    f.moveIndex = 0;
    return nextChild(r);
}

// MultiPV root: keep the leading rows in descending order, print the rows that changed.
void insertRootLine(Run &r, SearchFrame &f, int s) {
    int n = Settings.multiPv;
    int p = 0;
    while (p < f.moveIndex && entryScore(f.moves[p]) >= s)
        ++p;
    MoveEntry moved = f.moves[f.moveIndex];
    for (int i = f.moveIndex; i > p; --i)
        f.moves[i] = f.moves[i - 1];
    f.moves[p] = moved;
    int last = f.moveIndex + 1 < n ? f.moveIndex + 1 : n;
    for (int k = p; k < last; ++k)
        reportLine(r, entryScore(f.moves[k]), k + 1, entryMove(f.moves[k]));
    if (f.moveIndex >= n - 1) f.alpha = entryScore(f.moves[n - 1]);
}

// Takes one child's score: re-search, new best move, cutoff, and the order for the next pass.
Step moveResult(Run &r, int s) {
    Position &pos = r.pos;
    int ply = r.thread.ply;
    SearchFrame &f = r.thread.frames[ply];
    bool root = isRoot(r);
    Move m = f.currentMove;
    UnmakeMove(pos, m, PieceType(f.undo), f.savedState);
    bool fullDepth = f.depth >= f.targetDepth;
    bool multiRoot = root && Settings.multiPv > 1 && fullDepth;
    if (multiRoot) {
        setScore(f, f.moveIndex, s);
    } else {
        std::uint64_t n = fullWidthNodes(r.thread) - f.nodesBefore;
        while ((n >> f.orderShift) > std::uint64_t(SIZE_LIMIT)) {
            ++f.orderShift;
            for (int i = 0; i < f.moveIndex; ++i)
                setScore(f, i, entryScore(f.moves[i]) >> 1);
        }
        setScore(f, f.moveIndex, int(n >> f.orderShift));
    }
    Move reply = r.thread.frames[ply + 1].bestMove;
    if (s >= f.beta) {
        f.bestMove = m;
        store(r.thread, pos, ply, f.depth, s, BOUND_LOWER, m);
        updateKillers(r.thread, pos, m, ply);
        if (root) reportBest(r, m, reply, s);
        if (!fullDepth) {
            f.depth += IID_STEP;
            return startIteration(r);
        }
        return giveBack(r, s);
    }
    if (s > f.bestScore) {
        f.bestScore = s;
        f.bestMove = m;
    }
    if (s > f.alpha) {
        // Only a strict improvement is a new best: with several PV lines alpha stays low, and a
        // move that merely ties must not take over the move reported as best.
        if (m == f.bestMove) {
            store(r.thread, pos, ply, f.depth, s, BOUND_EXACT, m);
            if (root) reportBest(r, m, reply, s);
        }
        if (root && fullDepth) {
            if (Settings.multiPv == 1) {
                reportLine(r, s, 1, m);
                f.alpha = s;
            } else {
                insertRootLine(r, f, s);
            }
        } else {
            f.alpha = s;
        }
    }
    ++f.moveIndex;
    return nextChild(r);
}

// The node is done: store the result in the table and the PV cache, and return it.
Step finishNode(Run &r) {
    Position &pos = r.pos;
    int ply = r.thread.ply;
    SearchFrame &f = r.thread.frames[ply];
    bool root = isRoot(r);
    f.depth = f.targetDepth;
    // Compared with the alpha the final pass started from: a score above it is exact, so the
    // PV result stays in the table as exact and the node's ordered list reaches the cache.
    if (root && Settings.multiPv > 1) recordRootRows(r.thread, f.moves, f.moveCount);
    bool found = f.bestScore > f.passAlpha;
    store(r.thread, pos, ply, f.depth, f.bestScore, found ? BOUND_EXACT : BOUND_UPPER, f.bestMove);
    if (found && (f.depth >= CACHE_DEPTH || root)) {
        int i = findMove(f, f.bestMove);
        if (i >= 0) setScore(f, i, FIRST_MOVE_SCORE);
        PvCacheState &cache = r.thread.pvCache;
        int slot = f.pvSlot >= 0 ? f.pvSlot : cache.used;
        f.pvSlot = slot;
        pvCacheStore(cache, pos, slot, f.moves, f.moveCount);
    }
    return giveBack(r, root && Settings.multiPv > 1 ? f.alpha : f.bestScore);
}

} // namespace

Step pvNode(Run &r) {
    Position &pos = r.pos;
    SearchThread &t = r.thread;
    int ply = t.ply;
    SearchFrame &f = t.frames[ply];
    bool root = isRoot(r);
    // 1. Frame set-up.
    f.orderShift = 0;
    f.moves = ply == 0 ? t.moveStack : childList(t.frames[ply - 1]);
    f.moveCount = NOT_GENERATED;
    f.bestScore = INITIAL_BEST;
    f.savedState = saveUndo(pos);
    f.bestMove = NO_MOVE;
    f.pvSlot = -1;
    f.inCheck = inCheck(pos);
    // 2. Count and poll.
    if (root && f.alpha > -INFINITE_SCORE) t.rootScoreKnown = 0;
    if (countAndPoll(r, false)) return STOP;
    // 3. Keep the PV cache from filling up.
    constexpr int crowded = PV_CACHE_CAPACITY * 3 / 4;
    if (root && t.pvCache.used >= crowded) {
        pvCacheAge(t.pvCache);
        if (t.pvCache.used >= crowded) t.pvCache.used = PV_CACHE_CAPACITY / 2;
    }
    // 4. Draws, tablebases, mate distance.
    if (!root) {
        if (isRepetition(pos) || isDrawRecognised(pos)) return giveBack(r, drawScore(pos));
        int s;
        if (probeTablebases(r, ply, s) || probeWinDrawLoss(r, f.depth, ply, s)) return giveBack(r, s);
        if (f.alpha < ply - MATE) f.alpha = ply - MATE;
        if (f.beta > MATE - 1 - ply) f.beta = MATE - 1 - ply;
        if (f.alpha >= f.beta) return giveBack(r, f.alpha);
    }
    // 5. The ordered list from the cache, or a fresh scored one.
    int cached = 0;
    f.pvSlot = pvCacheLookup(t.pvCache, pos, f.moves, cached);
    if (f.pvSlot >= 0 && (base::featureOn(base::F_PV_CACHE_ORDER) || isRoot(r))) {
        f.moveCount = cached;
    } else {
        f.moveCount = GenerateLegal(pos, f.moves, orderingHistory(t));
        scoreMoves(r, f);
    }
    // 6. Mate or stalemate.
    if (f.moveCount == 0) return giveBack(r, f.inCheck ? ply - MATE : drawScore(pos));
    // 7. Check extension.
    if (f.inCheck) {
        if (base::featureOn(base::F_CHECK_EXTENSIONS)) {
            extendNode(r, f, fewRepliesExtension(f.moveCount));
            extendNode(r, f, ONE_PLY);
        }
    }
    // 8. Transposition table and enhanced cutoff.
    ProbeResult probe = probePv(pos, ply, f.depth, f.alpha, f.beta);
    f.bestMove = probe.move;
    int s = probe.score;
    if (s == NO_SCORE) {
        s = enhancedCutoff(pos, f, ply, f.beta, orderingHistory(t));
        if (s != NO_SCORE) store(r.thread, pos, ply, f.depth, s, BOUND_LOWER, f.bestMove);
    }
    if (s != NO_SCORE) {
        if (!root) return giveBack(r, s);
        if (findMove(f, f.bestMove) >= 0) {
            if (MoveAllowsRepetition(pos, f.bestMove, childList(f))) {
                int draw = drawScore(pos);
                if (s > draw) s = draw;
            }
            if (s > f.alpha) {
                reportBest(r, f.bestMove, NO_MOVE, s);
                if (Settings.multiPv == 1) {
                    reportLine(r, s, 1, f.bestMove);
                    return giveBack(r, s);
                }
            }
        }
    }
    // 9. A table move must be one of the legal moves.
    if (f.pvSlot == -1 && f.bestMove && findMove(f, f.bestMove) < 0) f.bestMove = NO_MOVE;
    // 10. Internal deepening without a move to start from.
    f.targetDepth = f.depth;
    if (!f.bestMove && f.depth >= IID_DEPTH && f.pvSlot == -1) f.depth = f.depth % IID_STEP + IID_STEP;
    return startIteration(r);
}

Step pvResume(Run &r) {
    SearchFrame &f = current(r);
    int s = -r.handed;
    if (f.state == PvAfterScout && s > f.alpha && s < f.beta) {
        pushChild(r, -f.beta, -f.alpha, PvNode, PvAfterResearch, 0);
        return CONTINUE;
    }
    if (f.state == RootAfterProbe) {
        int v = entryScore(f.moves[f.moveIndex]);
        if (s < v - MULTIPV_WINDOW || s > v + MULTIPV_WINDOW) {
            pushChild(r, -f.beta, -f.alpha, PvNode, RootAfterResearch, 0);
            return CONTINUE;
        }
    }
    return moveResult(r, s);
}

} // namespace search::detail

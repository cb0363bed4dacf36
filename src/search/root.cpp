#include "search/root.h"
#include "base/features.h"

#include "base/clock.h"
#include "base/debuglog.h"
#include "base/options.h"
#include "base/output.h"
#include "base/protocol.h"
#include "eval/pawns.h"
#include "eval/tables.h"
#include "eval/weights.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "search/control.h"
#include "search/hashfull.h"
#include "search/hooks.h"
#include "search/pvcache.h"
#include "search/search.h"
#include "search/see.h"
#include "search/settings.h"
#include "search/thread.h"
#include "search/tt.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

namespace search {

using namespace position;

namespace {

constexpr int ASPIRATION = 30;
// History counters order quiet moves once two iterations have filled them.
constexpr int HISTORY_FROM_DEPTH = 3 * ONE_PLY;
constexpr int FIRST_CUT_DEPTH = 3 * ONE_PLY;
constexpr std::uint64_t FULL_PV_MIN_TARGET = 10000; // shorter timed moves print one PV move
constexpr int EN_PASSANT_PONDER_BONUS = 100;

// Scratch move lists for the PV walk and the ponder-move choice (never during the search).
MoveEntry ScratchList[MAX_MOVES];
int LastHashFull = -1;

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

// The move the transposition table, or else the PV move-list cache (its move marked best),
// knows for `pos`, when it is one of the `n` legal moves in `legal`.
Move knownMove(Position &pos, int ply, const MoveEntry *legal, int n) {
    Move hashMove = probePv(pos, ply, 0, -INFINITE_SCORE, INFINITE_SCORE).move;
    if (hashMove != NO_MOVE && inList(hashMove, legal, n)) return hashMove;
    MoveEntry cached[MAX_MOVES];
    int count = 0;
    if (pvCacheLookup(pos, cached, count) >= 0)
        for (int i = 0; i < count; ++i)
            if (entryScore(cached[i]) == INFINITE_SCORE && inList(entryMove(cached[i]), legal, n))
                return entryMove(cached[i]);
    return NO_MOVE;
}

// The choice of collectPv for a position that gives no first move; 0 when there is none.
Move nextPvMove(Position &pos, int ply) {
    if (RepetitionCount(pos, pos.key, pos.sideToMove) >= 2) return NO_MOVE;
    int n = GenerateLegal(pos, ScratchList);
    if (n == 0) return NO_MOVE;
    if (n == 1) return entryMove(ScratchList[0]);
    UndoState undo = saveUndo(pos);
    int lowest = INFINITE_SCORE;
    Move lowestMove = NO_MOVE;
    for (int i = 0; i < n; ++i) {
        Move m = entryMove(ScratchList[i]);
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
    return knownMove(pos, ply, ScratchList, n);
}

bool timedSearch() { return limitFlags & (LIMIT_CLOCK | LIMIT_INC | LIMIT_MOVESTOGO); }

// MultiPV result set. During an iteration only the rows that change are printed, so a client
// that keeps the last line of each rank can see stale ranks; the whole set, N different moves
// in descending order, is printed again after each completed iteration and when the search ends.
struct RootRow {
    Move move;
    int score;
};
RootRow LastRows[MAX_MOVES];
int LastRowCount = 0;
bool RowsComplete = false; // LastRows belong to the iteration now running
bool RowsPrinted = false;  // ... and have been printed

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

void printRows(const RootRow *rows, int count) {
    int n = std::min(count, int(Settings.multiPv));
    for (int k = 0; k < n; ++k)
        printSearchInfo(0, rows[k].score, k + 1, rows[k].move);
}

// The set when a search ends: the last completed pass, updated by the moves the interrupted
// full-depth pass has already searched.
void printFinalRows(const SearchFrame &root) {
    static RootRow rows[MAX_MOVES];
    int count = LastRowCount;
    std::copy(LastRows, LastRows + count, rows);
    if (!RowsComplete && root.depth >= root.targetDepth && root.moveCount != NOT_GENERATED) {
        for (int i = 0; i < root.moveIndex && i < root.moveCount; ++i) {
            Move m = entryMove(root.moves[i]);
            RootRow *row = std::find_if(rows, rows + count, [m](const RootRow &r) { return r.move == m; });
            if (row == rows + count) row = &rows[count++];
            *row = {m, entryScore(root.moves[i])};
        }
        sortRows(rows, count);
    } else if (RowsComplete && RowsPrinted) {
        return; // the completed iteration's set is already the last thing printed
    }
    if (count == 0)
        printSearchInfo(0, RootBest.bestScore, 1, RootBest.bestMove);
    else
        printRows(rows, count);
}

bool uciPondering() { return base::ProtocolMode == base::MODE_UCI && SearchState == STATE_PONDERING; }

// Polls the input until the interface releases the move (`held` turns false). The poll reads
// input by node count, so the count runs on while waiting and is put back afterwards.
template <class Held> void waitForRelease(Held held) {
    const std::uint64_t searched = nodeCount;
    while (held()) {
        ++nodeCount;
        PollHook(false);
    }
    nodeCount = searched;
}

void think() {
    SearchThread &t = *Threads[0];
    Position &pos = t.position;
    t.ply = 0;
    nodeCount = quiescenceNodeCount = 0;
    RootBest = {};
    rootFailedLow = 0;
    resetRootFrame(t);
    // 1. No legal move: nothing to search. A UCI interface still waits for a reply: the null
    // move, once an infinite or ponder search has been stopped or hit.
    if (GenerateLegal(pos, t.moveStack) == 0) {
        if (base::ProtocolMode != base::MODE_UCI) return;
        waitForRelease([] { return SearchState != STATE_IDLE && (limitFlags & LIMIT_INFINITE); });
        printBestMoveOnly(NullMove);
        return;
    }
    setBestMove(entryMove(t.moveStack[0]), 0, 0);
    // 2. Book and instant moves.
    bool timed = timedSearch() && SearchState == STATE_THINKING;
    instantMove = Hooks.rootBookMove(timed);
    if (timed && instantMove != NO_MOVE) {
        setBestMove(instantMove, 0, 0);
        SearchState = STATE_IDLE;
    }
    const Position root = pos;
    if (SearchState != STATE_IDLE) {
        // 3. Iterative deepening with aspiration windows.
        int best = MATE, result = -MATE;
        t.frames[0].depth = ONE_PLY;
        iterationDepth = ONE_PLY;
        int maxDepth = base::optionInt(base::OPTION_MAX_DEPTH);
        LastRowCount = 0;
        bool endedByItself = false;
        for (bool first = true;; first = false) {
            if (!first && (iterationDepth > maxDepth * ONE_PLY || endedByItself || !iterationMayStart())) break;
            RowsComplete = RowsPrinted = false;
            extensionCeiling = 2 * iterationDepth;
            HistoryOrdering = iterationDepth >= HISTORY_FROM_DEPTH && base::featureOn(base::F_HISTORY);
            int beta = best + ASPIRATION, alpha = result - ASPIRATION;
            setRootWindow(t, alpha, beta);
            result = search(0);
            best = RootBest.bestScore;
            if (best >= beta && !iterationMayStart()) SearchState = STATE_IDLE;
            if (result <= alpha) rootFailedLow = 1;
            if (SearchState != STATE_IDLE && (result <= alpha || best >= beta)) {
                rootScoreKnown = 1;
                setRootWindow(t, -INFINITE_SCORE, INFINITE_SCORE);
                result = search(0);
                best = RootBest.bestScore;
                rootFailedLow = 0;
            }
            if (RowsComplete && SearchState != STATE_IDLE) {
                printRows(LastRows, LastRowCount);
                RowsPrinted = true;
            }
            // Being mated within the horizon ends the search; a winning mate does not.
            if (-2 - best > MATE - iterationDepth / ONE_PLY) {
                if (uciPondering())
                    endedByItself = true;
                else
                    SearchState = STATE_IDLE;
            }
            iterationDepth += ONE_PLY;
            t.frames[0].depth += ONE_PLY;
        }
        iterationDepth -= ONE_PLY;
        // A UCI interface reads a bestmove during pondering as out of turn: a ponder search that
        // has ended by itself (depth ceiling, being mated) keeps its move until ponderhit or stop.
        waitForRelease(uciPondering);
        pos = root;
        t.ply = 0;
        if (Settings.multiPv > 1)
            printFinalRows(t.frames[0]);
        else
            printSearchInfo(0, RootBest.bestScore, 1, RootBest.bestMove);
    }
    base::FlushOutput(true);
    if (RootBest.ponderMove == NO_MOVE) RootBest.ponderMove = findPonderMove(RootBest.bestMove);
    if (RootBest.ponderMove == NO_MOVE)
        printBestMoveOnly(RootBest.bestMove);
    else
        printBestMoveWithPonder(RootBest.bestMove, RootBest.ponderMove);
    base::clearOutputSlots();
}

void printLine(const char *text) {
    if (suppressMoveOutput) return;
    std::fputs(text, stdout);
    std::fflush(stdout);
}

} // namespace

void recordRootRows(const MoveEntry *moves, int count) {
    for (int i = 0; i < count; ++i)
        LastRows[i] = {entryMove(moves[i]), entryScore(moves[i])};
    sortRows(LastRows, count);
    LastRowCount = count;
    RowsComplete = true;
}

void formatScore(char *out, std::size_t size, int score) {
    if (score > MATE_BOUND || score < -MATE_BOUND)
        std::snprintf(out, size, "mate %d", score >= 1 ? (MATE + 1 - score) / 2 : -((score + MATE) / 2));
    else
        std::snprintf(out, size, "cp %d", score);
}

void startSearch() {
    SearchThread &t = *Threads[0];
    if (base::ProtocolMode == base::MODE_NONE)
        std::fputs("--------------------------------------\nply  time     nodes   knps score pv\n"
                   "--------------------------------------\n",
                   stdout);
    t.position = GamePosition;
    Colour us = Colour(t.position.sideToMove);
    eval::buildBlendedPst(t.position);
    using namespace base;
    eval::setEvaluationWeights(optionInt(OPTION_AGGRESSION), optionInt(OPTION_CAUTION),
                               optionInt(OPTION_ACTIVITY), optionInt(OPTION_RESTRAINT),
                               optionInt(OPTION_PASSERS), optionInt(OPTION_PAWN_STRUCTURE), us);
    Settings.hashfull = base::hashfullChoice();
    pvCacheAge();
    shiftKillers(t);
    eval::setPawnHashStore(true);
    think();
    eval::setPawnHashStore(false);
    SearchState = STATE_IDLE;
    t.ply = -1;
}

bool iterationMayStart() {
    if (SearchState == STATE_IDLE) return false;
    if (limitFlags & LIMIT_INFINITE) return true;
    if (limitFlags & LIMIT_DEPTH) return iterationDepth <= SearchLimits.depth * ONE_PLY;
    if (limitFlags & LIMIT_NODES) return nodeCount <= std::uint64_t(SearchLimits.nodes);
    std::uint64_t elapsed = base::GetTimeMs() - startTime;
    if (limitFlags & LIMIT_MOVETIME) return elapsed <= targetTime;
    if (iterationDepth < FIRST_CUT_DEPTH) return true;
    return 2 * elapsed <= targetTime;
}

void setBestMove(Move move, Move ponder, std::int32_t score) {
    if (move == NO_MOVE || SearchState == STATE_IDLE) return;
    if (move != RootBest.bestMove) RootBest.bestTime = base::GetTimeMs() - startTime;
    RootBest.bestScore = score;
    RootBest.bestMove = move;
    RootBest.ponderMove = ponder;
    RootBest.bestDepth = iterationDepth / ONE_PLY;
}

void collectPv(int thread, PvLine &out, Move first) {
    out.count = 0;
    Position &pos = Threads[thread]->position;
    // Full PV off: a timed, thinking search shows its first move only.
    bool shortPv = !base::optionBool(base::OPTION_FULL_PV) ||
                   (targetTime < FULL_PV_MIN_TARGET && timedSearch() && SearchState == STATE_THINKING);
    UndoState undo[MAX_PV_LENGTH];
    PieceType captured[MAX_PV_LENGTH];
    Move move = first;
    if (move == NO_MOVE && !shortPv) move = nextPvMove(pos, 0);
    while (move != NO_MOVE && out.count < MAX_PV_LENGTH) {
        undo[out.count] = saveUndo(pos);
        MakeMove(pos, move, captured[out.count]);
        out.moves[out.count++] = move;
        move = shortPv ? NO_MOVE : nextPvMove(pos, int(out.count));
    }
    for (std::uint32_t i = out.count; i-- > 0;)
        UnmakeMove(pos, out.moves[i], captured[i], undo[i]);
}

void printSearchInfo(int thread, std::int32_t score, std::int32_t multipvIndex, Move first) {
    static PvLine pv;
    collectPv(thread, pv, first);
    char scoreText[32];
    formatScore(scoreText, sizeof scoreText, score);
    std::uint64_t elapsed = base::GetTimeMs() - startTime;
    std::uint32_t nps = elapsed ? std::uint32_t(nodeCount * 1000 / elapsed) : 0;
    static char pvText[MAX_PV_LENGTH * 6 + 1];
    char *p = pvText;
    *p = 0;
    for (std::uint32_t i = 0; i < pv.count; ++i) {
        if (i) *p++ = ' ';
        p = MoveToText(pv.moves[i], p);
    }
    static char line[sizeof pvText + 200];
    int depth = iterationDepth / ONE_PLY;
    switch (base::ProtocolMode) {
    case base::MODE_UCI:
        std::snprintf(line, sizeof line,
                      "info multipv %d depth %u score %s time %" PRIu64 " nodes %" PRIu64 " nps %u pv %s\n",
                      multipvIndex, unsigned(depth), scoreText, elapsed, nodeCount, nps, pvText);
        break;
    case base::MODE_XBOARD:
        if (!base::optionBool(base::OPTION_XBOARD_POST)) return;
        std::snprintf(line, sizeof line, "%2u %5d %7" PRIu64 " %8" PRIu64 " %s\n", unsigned(depth), score,
                      elapsed / 10, nodeCount, pvText);
        break;
    default:
        std::snprintf(line, sizeof line, "%2d. %5.1f %9" PRIu64 " %6.1f % 5d %s\n", depth,
                      double(elapsed) / 1000, nodeCount, double(nps) / 1000, score, pvText);
        break;
    }
    base::appendInfoText(line);
    if (SearchState != STATE_IDLE) base::FlushOutput(false);
}

Move findPonderMove(Move best) {
    if (best == NO_MOVE) return NO_MOVE;
    Position &pos = Threads[0]->position;
    UndoState undo = saveUndo(pos);
    PieceType captured;
    MakeMove(pos, best, captured);
    MoveEntry replies[MAX_MOVES];
    int n = GenerateLegal(pos, replies);
    Move choice = NO_MOVE;
    if (n == 1) choice = entryMove(replies[0]);
    if (n > 1) {
        int bookCount = n;
        choice = Hooks.selectBookMove(replies, bookCount, false);
        if (choice == NO_MOVE) choice = knownMove(pos, 1, replies, n);
        if (choice == NO_MOVE) {
            int bestValue = -INFINITE_SCORE - 1;
            for (int i = 0; i < n; ++i) {
                Move m = entryMove(replies[i]);
                int value = see(pos, m);
                if (isEnPassant(pos, m)) value += EN_PASSANT_PONDER_BONUS;
                if (movePromotion(m) != KING)
                    value += CaptureValue[movePromotion(m)] - EN_PASSANT_PONDER_BONUS;
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

void printBestMoveWithPonder(Move best, Move ponder) {
    std::string b = moveText(best), p = moveText(ponder);
    char line[64];
    switch (base::ProtocolMode) {
    case base::MODE_UCI:
        std::snprintf(line, sizeof line, "bestmove %s ponder %s\n", b.c_str(), p.c_str());
        break;
    case base::MODE_XBOARD:
        std::snprintf(line, sizeof line, "move %s\nHint: %s\n", b.c_str(), p.c_str());
        break;
    default: std::snprintf(line, sizeof line, "%s\n", b.c_str()); break;
    }
    printLine(line);
    if (!suppressMoveOutput) base::debugLine("bestmove " + b + " ponder " + p);
}

void printBestMoveOnly(Move best) {
    std::string b = moveText(best);
    char line[64];
    switch (base::ProtocolMode) {
    case base::MODE_UCI: std::snprintf(line, sizeof line, "bestmove %s\n", b.c_str()); break;
    case base::MODE_XBOARD: std::snprintf(line, sizeof line, "move %s\n", b.c_str()); break;
    default: std::snprintf(line, sizeof line, "%s\n", b.c_str()); break;
    }
    printLine(line);
    if (!suppressMoveOutput) base::debugLine("bestmove " + b);
}

void printCurrMove(Move move, std::int32_t moveIndex, bool force) {
    if (!force && base::ProtocolMode != base::MODE_UCI) return;
    char text[8], line[128];
    MoveToText(move, text);
    std::snprintf(line, sizeof line, "info depth %u currmove %s currmovenumber %u nodes %" PRIu64 "\n",
                  unsigned(iterationDepth / ONE_PLY), text, unsigned(moveIndex + 1), nodeCount);
    base::setCurrMoveText(line);
}

void printCurrLine(int thread, bool force) {
    if (!force && !Settings.showCurrLine) return;
    const SearchThread &t = *Threads[thread];
    char line[FRAME_COUNT * 6 + 32];
    char *p = line + std::snprintf(line, sizeof line, "info currline");
    for (int ply = 0; ply < t.ply; ++ply) {
        *p++ = ' ';
        p = MoveToText(t.frames[ply].currentMove, p);
    }
    std::strcpy(p, "\n");
    base::setCurrLineText(line);
}

void printHashFull() {
    int value = hashfull();
    if (value < 0 || value == LastHashFull) return;
    LastHashFull = value;
    char line[32];
    std::snprintf(line, sizeof line, "info hashfull %d\n", value);
    base::setHashFullText(line);
}

bool protocolIsUci() { return base::ProtocolMode == base::MODE_UCI; }

} // namespace search

// Quiescence nodes: stand pat on the static evaluation and resolve captures (and evasions when
// in check) until the position is quiet. No table, killers, history or extensions here.
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/draw.h"
#include "search/search_internal.h"
#include "search/see.h"

namespace search::detail {

using namespace position;

namespace {

constexpr int DELTA_MARGIN = 150;
constexpr int QUIET_EVASION_SCORE = 80; // evasions scoring below this count towards the check limit

Step nextQuiescenceChild(Run &r) {
    Position &pos = r.pos;
    int ply = r.thread.ply;
    SearchFrame &f = r.thread.frames[ply];
    for (; f.moveIndex < f.moveCount; ++f.moveIndex) {
        MoveEntry e = selectBest(f.moves, f.moveIndex, f.moveCount);
        Move m = entryMove(e);
        f.currentMove = m;
        Square to = moveTo(m);
        PieceType mover = pos.typeOn(moveFrom(m));
        // Quiet moves of pieces (king steps, interpositions) are not searched here.
        if (mover != PAWN && pos.isEmpty(to)) continue;
        if (!f.inCheck && mover != PAWN) {
            // Delta pruning: a capture that cannot lift the evaluation to alpha is skipped.
            int v = entryScore(e);
            if (f.staticEval + v + DELTA_MARGIN <= f.alpha) continue;
            v = v + see(pos, m) - CaptureValue[pos.typeOn(to)];
            f.moves[f.moveIndex] = makeEntry(m, v);
            if (f.staticEval + v + DELTA_MARGIN <= f.alpha) continue;
        }
        int childChecks = f.checkCount;
        if (r.thread.frames[ply - 1].inCheck && entryScore(f.moves[f.moveIndex]) < QUIET_EVASION_SCORE)
            ++childChecks;
        PieceType captured;
        MakeMove(pos, m, captured);
        f.undo = captured;
        prefetchChild(r, false);
        pushChild(r, -f.beta, -f.alpha, QuiescenceNode, QuiescenceAfterChild, 0);
        r.thread.frames[r.thread.ply].checkCount = childChecks;
        return CONTINUE;
    }
    // Out of moves: a quiet position keeps its stand-pat score.
    if (f.moveCount == 0 && !f.inCheck) f.bestScore = f.staticEval;
    return giveBack(r, f.bestScore);
}

} // namespace

Step quiescenceNode(Run &r) {
    Position &pos = r.pos;
    int ply = r.thread.ply;
    SearchFrame &f = r.thread.frames[ply];
    // 1. Frame set-up.
    f.moves = childList(r.thread.frames[ply - 1]);
    f.bestScore = INITIAL_BEST;
    f.savedState = saveUndo(pos);
    f.bestMove = NO_MOVE;
    f.inCheck = 0;
    // 2. Illegal position.
    if (kingCapturable(pos)) return giveBack(r, ILLEGAL_SCORE);
    // 3. End of the frame stack.
    if (ply >= MAX_PLY) return giveBack(r, f.alpha);
    // 4. Count and poll.
    if (countAndPoll(r, true)) return STOP;
    // 5. Draws.
    if (isRepetition(pos) || isDrawRecognised(pos)) return giveBack(r, drawScore(pos));
    // 6. Mate distance.
    if (f.alpha < ply - MATE) f.alpha = ply - MATE;
    if (f.beta > MATE - 1 - ply) f.beta = MATE - 1 - ply;
    if (f.alpha >= f.beta) return giveBack(r, f.alpha);
    // 7. Stand pat.
    f.staticEval = lazyEvaluate(r, f.alpha, f.beta);
    f.inCheck = inCheck(pos);
    if (!f.inCheck) {
        if (f.staticEval >= f.beta) return giveBack(r, f.staticEval);
        if (f.staticEval > f.alpha) f.alpha = f.staticEval;
    }
    f.bestScore = f.staticEval;
    // 8. Moves: captures and promotions, or evasions (once per path).
    if (!f.inCheck) {
        f.moveCount =
            GenerateToTargets(pos, f.moves, pos.occupied[pos.sideToMove ^ 1], orderingHistory(r.thread));
    } else {
        f.moveCount = GenerateEvasions(pos, f.moves, orderingHistory(r.thread));
        if (f.moveCount == 0) return giveBack(r, ply - MATE);
        if (f.checkCount > 0) return giveBack(r, drawScore(pos));
        ++f.checkCount;
    }
    f.moveIndex = 0;
    return nextQuiescenceChild(r);
}

Step quiescenceAfterChild(Run &r) {
    SearchFrame &f = current(r);
    int s = -r.handed;
    UnmakeMove(r.pos, f.currentMove, PieceType(f.undo), f.savedState);
    if (s >= f.beta) {
        f.bestMove = f.currentMove;
        return giveBack(r, s);
    }
    if (s > f.alpha) f.alpha = s;
    if (s > f.bestScore) f.bestScore = s;
    ++f.moveIndex;
    return nextQuiescenceChild(r);
}

} // namespace search::detail

// Scout nodes: null-window search at beta with null move, enhanced transposition cutoffs,
// futility pruning, late-move reductions, killers and history.
#include "base/features.h"
#include "position/attacks.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/draw.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/search_internal.h"
#include "search/settings.h"
#include "search/tt.h"

namespace search::detail {

using namespace position;

namespace {

constexpr int TABLEBASE_DEPTH = plies(7); // probe below ply 3 or from this depth on
constexpr int ETC_DEPTH = plies(6);
constexpr int NULL_MOVE_DEPTH = plies(2);
constexpr int NULL_R_STEPS[3] = {plies(7), plies(12), plies(17)}; // each adds a ply to R = 2
constexpr int LMR_DEPTH = plies(5);
constexpr int LMR_FIRST_INDEX = 4;
constexpr int LMR_REDUCTION = -ONE_PLY;

// Pawn of the side to move on its 5th to 7th rank with no enemy pawn on or attacking its path.
bool isAdvancedPasser(const Position &pos, Square from) {
    if (pos.typeOn(from) != PAWN) return false;
    Colour us = Colour(pos.sideToMove);
    int rank = us == WHITE ? rankOf(from) : 7 - rankOf(from);
    if (rank < 4 || rank > 6) return false;
    Bitboard path = 0;
    for (Square s = from;;) {
        s = us == WHITE ? s + 8 : s - 8;
        if (s > 63) break;
        path |= squareBit(s);
        if (rankOf(s) == 0 || rankOf(s) == 7) break;
    }
    Bitboard guards = path | PawnAttacksOf(us, path);
    return (pos.pieces[us ^ 1][PAWN] & guards) == 0;
}

// The table move goes first when it is still playable here; otherwise the picker starts plain.
void placeHashMove(Position &pos, SearchFrame &f) {
    if (f.bestMove && !IsMovePseudoLegal(pos, f.bestMove)) f.bestMove = NO_MOVE;
    if (f.bestMove) {
        if (f.moveCount == NOT_GENERATED) {
            f.moves[0] = makeEntry(f.bestMove, 0);
        } else {
            // A generated list (evasions, or the enhanced cutoff's list) keeps all its moves: the
            // hash move is swapped to the front, and dropped when the list does not hold it.
            int i = 0;
            while (i < f.moveCount && entryMove(f.moves[i]) != f.bestMove)
                ++i;
            if (i == f.moveCount) {
                f.bestMove = NO_MOVE;
            } else {
                MoveEntry e = f.moves[i];
                f.moves[i] = f.moves[0];
                f.moves[0] = e;
            }
        }
    }
    f.readyEnd = f.bestMove ? 1 : 0;
    f.moveIndex = -1;
    f.stage = STAGE_HASH;
}

// Picks the next move and pushes its child; with no move left, stores the result and returns it.
Step nextChild(Run &r) {
    Position &pos = r.pos;
    int ply = r.thread.ply;
    SearchFrame &f = r.thread.frames[ply];
    for (;;) {
        if (!nextMove(r.thread, pos, f, futilityMargin)) {
            if (f.bestScore == INITIAL_BEST) f.bestScore = f.inCheck ? ply - MATE : drawScore(pos);
            store(r.thread, pos, ply, f.depth, f.bestScore, BOUND_UPPER, f.bestMove);
            return giveBack(r, f.bestScore);
        }
        Move m = f.currentMove;
        f.moves[f.moveIndex] = makeEntry(m, INITIAL_BEST);
        if (pos.pieces[pos.sideToMove ^ 1][KING] & squareBit(moveTo(m))) return giveBack(r, ILLEGAL_SCORE);
        // Quietness (with its check test) matters only to futility and late-move reductions.
        bool prunable = f.futile && f.bestScore > INITIAL_BEST && base::featureOn(base::F_FUTILITY);
        bool reducible = f.stage == STAGE_QUIET && f.moveIndex >= LMR_FIRST_INDEX && !f.inCheck &&
                         f.depth >= LMR_DEPTH && base::featureOn(base::F_LATE_MOVE_REDUCTIONS);
        bool quiet = (prunable || reducible) && isQuietMove(pos, m) && !GivesCheck(pos, m) &&
                     !isAdvancedPasser(pos, moveFrom(m));
        if (prunable && quiet) continue;
        f.reduction = 0;
        if (reducible && quiet) {
            ++f.reducedCount;
            f.reduction = LMR_REDUCTION;
        }
        PieceType captured;
        MakeMove(pos, m, captured);
        f.undo = captured;
        FrameState state = f.depth + f.reduction >= QUIESCENCE_BELOW ? ScoutNode : QuiescenceNode;
        prefetchChild(r, state == ScoutNode);
        pushChild(r, -f.beta, 1 - f.beta, state, ScoutAfterChild, f.reduction);
        return CONTINUE;
    }
}

Step moveResult(Run &r, int s) {
    Position &pos = r.pos;
    int ply = r.thread.ply;
    SearchFrame &f = r.thread.frames[ply];
    Move m = f.currentMove;
    UnmakeMove(pos, m, PieceType(f.undo), f.savedState);
    if (f.stage == STAGE_QUIET) historySearched(r.thread, m);
    if (s > f.bestScore) {
        f.bestScore = s;
        if (s >= f.beta) {
            if (f.stage != STAGE_CAPTURES) historyCutoff(r.thread, m);
            f.bestMove = m;
            store(r.thread, pos, ply, f.depth, s, BOUND_LOWER, m);
            if (isQuietMove(pos, m)) rememberKiller(r.thread, m, ply);
            return giveBack(r, s);
        }
    }
    return nextChild(r);
}

// Null move: allowed by the option, deep enough, not twice in a row, not in check, beta not a
// mated score, and the side to move has pieces besides pawns (zugzwang guard).
bool nullMoveCandidate(const Position &pos, const SearchFrame &f, FrameState parentState) {
    return Settings.nullMove && base::featureOn(base::F_NULL_MOVE) && f.depth >= NULL_MOVE_DEPTH &&
           parentState != AfterNullMove && !f.inCheck && f.beta > -MATE_BOUND &&
           pos.material[pos.sideToMove] > 0;
}

int nullMoveReduction(int depth) {
    int R = plies(2);
    for (int step : NULL_R_STEPS)
        if (depth >= step) R += ONE_PLY;
    return R > depth - ONE_PLY ? depth - ONE_PLY : R;
}

} // namespace

Step scoutNode(Run &r) {
    Position &pos = r.pos;
    int ply = r.thread.ply;
    SearchFrame &f = r.thread.frames[ply];
    // 1. Frame set-up.
    f.moves = childList(r.thread.frames[ply - 1]);
    f.bestScore = INITIAL_BEST;
    f.staticEval = NO_SCORE;
    f.futile = 0;
    f.savedState = saveUndo(pos);
    f.moveCount = NOT_GENERATED;
    f.threatMove = NO_MOVE;
    f.stage = STAGE_HASH;
    f.reducedCount = 0;
    f.bestMove = NO_MOVE;
    f.inCheck = 0;
    // 2. Reached through a pseudo-legal move that left the mover's king attacked.
    if (kingCapturable(pos)) return giveBack(r, ILLEGAL_SCORE);
    // 3. Count and poll.
    if (countAndPoll(r, false)) return STOP;
    // 4. Draws.
    if (isRepetition(pos) || isDrawRecognised(pos)) return giveBack(r, drawScore(pos));
    // 5. Tablebases.
    if (ply < 3 || f.depth >= TABLEBASE_DEPTH) {
        int s;
        if (probeTablebases(r, ply, s)) return giveBack(r, s);
    }
    if (int s; probeWinDrawLoss(r, f.depth, ply, s)) return giveBack(r, s);
    // 6. Mate distance.
    if (f.beta <= ply - MATE) return giveBack(r, ply - MATE);
    if (MATE - 1 - ply < f.beta) return giveBack(r, MATE - 1 - ply);
    // 7. Check: evasions and extensions.
    f.inCheck = inCheck(pos);
    if (f.inCheck) {
        f.moveCount = GenerateEvasions(pos, f.moves, orderingHistory(r.thread));
        if (f.moveCount == 0) return giveBack(r, ply - MATE);
        if (base::featureOn(base::F_CHECK_EXTENSIONS)) {
            extendNode(r, f, fewRepliesExtension(f.moveCount));
            extendNode(r, f, ONE_PLY);
        }
    }
    // 8. Transposition table.
    ProbeResult probe = probeScout(pos, ply, f.depth, f.beta);
    f.bestMove = probe.move;
    if (probe.score != NO_SCORE) return giveBack(r, probe.score);
    // 9. Enhanced transposition cutoff.
    if (f.depth >= ETC_DEPTH && f.bestMove && base::featureOn(base::F_ENHANCED_CUTOFF)) {
        int s = enhancedCutoff(pos, f, ply, f.beta, orderingHistory(r.thread));
        if (s != NO_SCORE) {
            store(r.thread, pos, ply, f.depth, s, BOUND_LOWER, f.bestMove);
            return giveBack(r, s);
        }
    }
    // 10. Null move.
    if (nullMoveCandidate(pos, f, r.thread.frames[ply - 1].state)) {
        f.staticEval = lazyEvaluate(r, f.beta - 1, f.beta);
        if (f.staticEval >= f.beta && nullMoveAllowed(pos)) {
            MakeNullMove(pos);
            f.currentMove = NullMove;
            int R = nullMoveReduction(f.depth);
            f.reduction = R;
            FrameState state = f.depth - R >= QUIESCENCE_BELOW ? ScoutNode : QuiescenceNode;
            if (state == ScoutNode) prefetchEntry(pos.key); // a null move leaves the pawns as they are
            pushChild(r, -f.beta, 1 - f.beta, state, AfterNullMove, -R);
            return CONTINUE;
        }
    }
    // 11. Hash move first, then the move loop.
    placeHashMove(pos, f);
    return nextChild(r);
}

Step afterNullMove(Run &r) {
    Position &pos = r.pos;
    int ply = r.thread.ply;
    SearchFrame &f = r.thread.frames[ply];
    int s = -r.handed;
    f.threatMove = r.thread.frames[ply + 1].bestMove;
    UnmakeNullMove(pos, f.savedState.epSquare);
    if (s > f.bestScore) {
        f.bestScore = s;
        if (s >= f.beta) {
            // The null-move result is only a bound: store beta, not the returned score.
            store(r.thread, pos, ply, f.depth, f.beta, BOUND_LOWER, f.bestMove);
            return giveBack(r, s);
        }
    }
    placeHashMove(pos, f);
    return nextChild(r);
}

Step scoutAfterChild(Run &r) {
    SearchFrame &f = current(r);
    int s = -r.handed;
    if (s >= f.beta && f.reduction < 0) {
        FrameState state = f.depth >= QUIESCENCE_BELOW ? ScoutNode : QuiescenceNode;
        pushChild(r, -f.beta, 1 - f.beta, state, ScoutAfterResearch, 0);
        return CONTINUE;
    }
    return moveResult(r, s);
}

Step scoutAfterResearch(Run &r) { return moveResult(r, -r.handed); }

} // namespace search::detail

// What the search asks of the evaluation and the tablebases at a node.
#include "base/features.h"
#include "eval/evaluate.h"
#include "eval/pawns.h"
#include "search/hooks.h"
#include "search/search_internal.h"
#include "search/settings.h"
#include "search/thread.h"
#include "search/tt.h"

namespace search::detail {

using namespace position;

namespace {

constexpr int LAZY_MARGIN = 300; // the full evaluation runs only near the window
constexpr int TABLE_RESULT_PLIES = 255; // a table's result holds at any depth
// The fifty-move counter right after a capture or pawn move (0 in a position set up from FEN).
constexpr std::uint32_t ZEROED = 1;

} // namespace

int lazyEvaluate(Run &r, int alpha, int beta) {
    Position &pos = r.pos;
    int q = eval::quickEvaluate(pos, &r.thread.pawns);
    int v = q;
    bool nearWindow =
        (q >= alpha - LAZY_MARGIN && q <= beta + LAZY_MARGIN) || !base::featureOn(base::F_LAZY_EVAL);
    if (nearWindow && pos.evalWork.evalMode == base::EvalNormal) v = eval::fullEvaluate(pos, &r.thread.pawns);
    return eval::fiftyMoveTaper(pos, v);
}

bool nullMoveAllowed(const Position &pos) { return pos.evalWork.nullMoveAllowed != 0; }

bool isDrawRecognised(const Position &pos) { return eval::isRecognisedDraw(pos); }

bool probeTablebases(Run &r, int ply, int &score) {
    if (!Hooks.probeTablebase(r.pos, ply, score)) return false;
    countTableHit(r.thread);
    return true;
}

bool probeWinDrawLoss(Run &r, int depth, int ply, int &score) {
    const Position &pos = r.pos;
    if (Settings.tablePieces == 0 || pos.fifty > ZEROED || pos.castling != 0 || depth < Settings.tableProbeDepth ||
        popCount(pos.all()) > Settings.tablePieces || !Hooks.probeWinDrawLoss(pos, ply, score))
        return false;
    countTableHit(r.thread);
    store(r.thread, pos, ply, plies(TABLE_RESULT_PLIES), score, BOUND_EXACT, NO_MOVE);
    return true;
}

void prefetchChild(const Run &r, bool probesTable) {
    if (probesTable) prefetchEntry(r.pos.key);
    eval::prefetchPawnEntry(r.thread.pawns, r.pos.pawnKey);
}

} // namespace search::detail

// What the search asks of the evaluation and the tablebases at a node.
#include "base/features.h"
#include "eval/evaluate.h"
#include "eval/pawns.h"
#include "search/hooks.h"
#include "search/search_internal.h"
#include "search/tt.h"

namespace search::detail {

using namespace position;

namespace {

constexpr int LAZY_MARGIN = 300; // the full evaluation runs only near the window

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

bool probeTablebases(const Position &pos, int ply, int &score) {
    return Hooks.probeTablebase(pos, ply, score);
}

void prefetchChild(const Run &r, bool probesTable) {
    if (probesTable) prefetchEntry(r.pos.key);
    eval::prefetchPawnEntry(r.thread.pawns, r.pos.pawnKey);
}

} // namespace search::detail

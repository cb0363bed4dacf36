#include "book/select.h"

#include "base/options.h"
#include "eval/evaluate.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/control.h"
#include "search/thread.h"

namespace book {

using namespace position;

namespace {
constexpr std::uint32_t QUICK_REPETITION_FIFTY_LIMIT = 50;
} // namespace

Move selectBookMove(MoveEntry *, int &, bool) {
    // No book table is loaded yet: every position is out of book.
    return NO_MOVE;
}

Move rootBookMove(bool print) {
    if (search::engineSide == search::NO_SIDE) return NO_MOVE;
    Position &pos = search::Threads[0]->position;
    MoveEntry list[MAX_MOVES];
    int n = GenerateLegal(pos, list);
    Move m = selectBookMove(list, n, print && base::optionBool(base::OPTION_BOOKMOVE_INFO));
    if (m != NO_MOVE) return m;
    if (n == 1) return entryMove(list[0]);
    if (n == 0) return NO_MOVE;
    if (!base::optionBool(base::OPTION_SWINDLE_MODE) && eval::isRecognisedDraw(pos))
        return entryMove(list[0]);
    if (base::optionBool(base::OPTION_QUICK_REPETITION) && pos.fifty < QUICK_REPETITION_FIFTY_LIMIT)
        for (int i = 0; i < n; ++i) {
            Move move = entryMove(list[i]);
            if (RepetitionCount(pos, KeyAfterMove(pos, move), pos.sideToMove ^ 1) == 1) return move;
        }
    return NO_MOVE;
}

} // namespace book

#include "position/perft.h"

#include "position/makemove.h"
#include "position/movegen.h"

namespace position {

namespace {

struct PerftRun {
    int rootDepth;
    bool bulk;
    PerftRootVisitor visit;
};

std::uint64_t perft(Position &pos, int depth, MoveEntry *list, const PerftRun &run) {
    if (depth == 0) return 1;
    UndoState undo = saveUndo(pos);
    int n = GenerateLegal(pos, list);
    // Leaves are counted without being made, except when the count itself is the top level.
    if (depth == 1 && run.bulk && run.rootDepth > 1) return std::uint64_t(n);
    std::uint64_t total = 0;
    for (int i = 0; i < n; ++i) {
        Move m = entryMove(list[i]);
        PieceType captured;
        MakeMove(pos, m, captured);
        std::uint64_t count = perft(pos, depth - 1, list + n, run);
        total += count;
        if (run.visit && depth == run.rootDepth) run.visit(m, count);
        UnmakeMove(pos, m, captured, undo);
    }
    return total;
}

} // namespace

std::uint64_t perftCount(Position &pos, int depth, MoveEntry *stack, bool bulk, PerftRootVisitor visit) {
    return perft(pos, depth, stack, {depth, bulk, visit});
}

} // namespace position

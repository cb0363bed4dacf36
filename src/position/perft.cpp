#include "position/perft.h"

#include "platform/platform.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "position/notation.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace position {

namespace {

// Deeper counts would run for years: the limit only bounds the list arena.
constexpr int MAX_PERFT_DEPTH = 20;
MoveEntry PerftStack[(MAX_PERFT_DEPTH + 1) * MAX_MOVES];
Position PerftPosition;

struct PerftRun {
    int topDepth;
    bool divide;
};

std::uint64_t perft(Position &pos, int depth, MoveEntry *list, const PerftRun &run) {
    if (depth == 0) return 1;
    UndoState undo = saveUndo(pos);
    int n = GenerateLegal(pos, list);
    // Leaves are counted without being made, except when the count itself is the top level.
    if (depth == 1 && run.topDepth > 1) return std::uint64_t(n);
    std::uint64_t total = 0;
    for (int i = 0; i < n; ++i) {
        Move m = entryMove(list[i]);
        PieceType captured;
        MakeMove(pos, m, captured);
        std::uint64_t count = perft(pos, depth - 1, list + n, run);
        total += count;
        if (run.divide && depth == run.topDepth) {
            std::printf("%s %llu\n", moveText(m).c_str(), static_cast<unsigned long long>(count));
        }
        UnmakeMove(pos, m, captured, undo);
    }
    return total;
}

} // namespace

std::uint64_t perftCount(Position &pos, int depth, MoveEntry *stack, bool bulk) {
    return perft(pos, depth, stack, {bulk ? depth : 1, false});
}

void PerftCommand(std::string_view line) {
    std::uint64_t start = platform::wallClockMs();
    std::string rest(line.size() > 6 ? line.substr(6) : std::string_view());
    int depth = std::atoi(rest.c_str());
    bool divide = line.find("div") != std::string_view::npos;
    if (depth > MAX_PERFT_DEPTH) depth = MAX_PERFT_DEPTH;
    if (depth < 0) depth = 0;
    PerftPosition = GamePosition;
    std::printf("Performance Test\n");
    std::fflush(stdout);
    std::uint64_t count = perft(PerftPosition, depth, PerftStack, {depth, divide});
    std::printf("%d:\t%llu\t%llu\n", depth, static_cast<unsigned long long>(platform::wallClockMs() - start),
                static_cast<unsigned long long>(count));
    std::fflush(stdout);
}

} // namespace position

// Root selection speed: the time of the root driver's book question (legal moves, one book
// lookup per move, the weighted choice) from the internal book, or from a book file when one is
// named. Built with the release preset. Run: build/release/book_bench [Book.vlb] [rounds]
#include "base/options.h"
#include "book/internal.h"
#include "book/select.h"
#include "book/table.h"
#include "control/startup.h"
#include "position/fen.h"
#include "search/context.h"
#include "search/hooks.h"
#include "search/pvcache.h"
#include "search/search.h"
#include "search/thread.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace position;

namespace {

// Positions in and out of the book: the start, two main lines and a middle game.
const char *const POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2",
    "rnbqkb1r/pppp1ppp/4pn2/8/2PP4/8/PP2PPPP/RNBQKBNR w KQkq - 0 3",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
};

} // namespace

int main(int argc, char **argv) {
    control::initEngine();
    search::Hooks.readInput = search::readNoInput;
    if (argc > 1 && !book::readBookFile(argv[1], book::BookTable)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    int rounds = argc > 2 ? std::atoi(argv[2]) : 2000;
    std::printf("book: %s, %zu entries\n", argc > 1 ? argv[1] : "internal", book::bookEntries());
    base::Options[base::OPTION_BOOKMOVE_INFO].value = 0;
    search::Shared.engineSide = search::WHITE_SIDE;
    search::SearchThread &main = search::mainThread();
    double total = 0;
    for (const char *fen : POSITIONS) {
        LoadFen(fen);
        int moves = 0;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < rounds; ++i) {
            main.pvCache.used = 0; // each question starts without a cached list, as in a new game
            main.position = GamePosition;
            moves += book::rootBookMove(main, nullptr) != NO_MOVE;
        }
        double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() /
            rounds;
        total += us;
        std::printf("%-66s %8.1f us per selection (%s)\n", fen, us, moves ? "book move" : "no book move");
    }
    std::printf("mean %.1f us per selection\n", total / (sizeof POSITIONS / sizeof *POSITIONS));
    return 0;
}

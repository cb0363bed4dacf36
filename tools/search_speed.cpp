// Search speed: a fixed-depth search over a fixed set of positions, nodes per second.
// Built with the release preset. Run: build/release/search_speed [depth]   (default depth 9)
#include "control/startup.h"
#include "eval/evaluate.h"
#include "position/fen.h"
#include "position/notation.h"
#include "search/context.h"
#include "search/depth_driver.h"
#include "search/hooks.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/settings.h"
#include "search/thread.h"
#include "search/tt.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

const char *const POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
    "2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/P1NBPN2/1P3PPP/R2Q1RK1 w - - 0 12",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/4kpp1/3p4/p6P/2B4b/6P1/6K1 b - - 0 1",
    "6k1/5p2/6p1/8/7p/8/6PP/6K1 b - - 0 1",
    "r2q1rk1/ppp2ppp/2n1bn2/2b1p3/3pP3/3P1NPP/PPP1NPB1/R1BQ1RK1 b - - 0 9",
};

} // namespace

int main(int argc, char **argv) {
    int depth = argc > 1 ? std::atoi(argv[1]) : 9;
    control::initEngine();
    search::Hooks.readInput = search::readNoInput; // a measurement reads no commands
    eval::initEvaluation();
    search::initSearch();
    search::Settings.hashMb = 64;
    search::allocateHash();
    std::uint64_t totalNodes = 0;
    double totalMs = 0;
    for (const char *fen : POSITIONS) {
        search::clearHash();
        search::resetHistory();
        search::clearKillers(search::mainThread());
        position::LoadFen(fen);
        auto start = std::chrono::steady_clock::now();
        search::DepthResult r = search::searchToDepth(position::GamePosition, depth);
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        totalNodes += r.nodes;
        totalMs += ms;
        std::printf("%-70s %5s %6d %10llu %8.0f ms\n", fen, position::moveText(r.bestMove).c_str(), r.score,
                    static_cast<unsigned long long>(r.nodes), ms);
    }
    std::printf("depth %d: %llu nodes in %.0f ms, %.0f nodes per second\n", depth,
                static_cast<unsigned long long>(totalNodes), totalMs,
                totalMs > 0 ? totalNodes * 1000.0 / totalMs : 0.0);
    return 0;
}

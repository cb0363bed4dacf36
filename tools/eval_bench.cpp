// Evaluation speed: evaluations per second of quickEvaluate and of quickEvaluate followed by
// fullEvaluate, over a fixed set of positions taken from seeded random games.
// Built with the release preset: build/release/eval_bench
#include "base/eval_scratch.h"
#include "control/startup.h"
#include "eval/evaluate.h"
#include "eval/pawns.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/thread.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace position;

namespace {

constexpr int GAMES = 50;
constexpr int PLIES_PER_GAME = 80;
constexpr int ROUNDS = 200;

std::vector<Position> collectPositions() {
    std::vector<Position> positions;
    std::mt19937 rng(12345);
    MoveEntry list[MAX_MOVES];
    for (int game = 0; game < GAMES; ++game) {
        LoadFen(START_FEN);
        Position pos = GamePosition;
        for (int ply = 0; ply < PLIES_PER_GAME; ++ply) {
            positions.push_back(pos);
            int n = GenerateLegal(pos, list);
            if (n == 0) break;
            PieceType captured;
            MakeMove(pos, entryMove(list[rng() % unsigned(n)]), captured);
        }
    }
    return positions;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int main() {
    control::initEngine();
    eval::initEvaluation();
    std::vector<Position> positions = collectPositions();
    eval::PawnTable &pawns = search::mainThread().pawns; // as during a search

    long long checksum = 0, evaluations = 0;
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < ROUNDS; ++round)
        for (Position &pos : positions) {
            checksum += eval::quickEvaluate(pos, &pawns);
            ++evaluations;
        }
    double quickTime = seconds(start);
    std::printf("quickEvaluate: %zu positions x %d rounds, %.0f evaluations/s (checksum %lld)\n",
                positions.size(), ROUNDS, double(evaluations) / quickTime, checksum);

    checksum = 0, evaluations = 0;
    long long full = 0;
    start = std::chrono::steady_clock::now();
    for (int round = 0; round < ROUNDS; ++round)
        for (Position &pos : positions) {
            int s = eval::quickEvaluate(pos, &pawns);
            if (pos.evalWork.evalMode == base::EvalNormal) {
                s = eval::fullEvaluate(pos, &pawns);
                ++full;
            }
            checksum += s;
            ++evaluations;
        }
    double fullTime = seconds(start);
    std::printf("quickEvaluate + fullEvaluate: %.0f evaluations/s (%lld full, checksum %lld)\n",
                double(evaluations) / fullTime, full, checksum);
    return 0;
}

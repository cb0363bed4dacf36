// Writes reproducible random games as PGN, for measuring the book tool on large inputs.
// Built with the release preset. Run: build/release/random_pgn GAMES PLIES SEED [draws] > out.pgn
// Moves are chosen uniformly among the legal ones; results are random unless "draws" is given
// (then every game is drawn, so a Polyglot book made from them keeps every move).
#include "booktool/san.h"
#include "eval/evaluate.h"
#include "position/attacks.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

using namespace position;

int main(int argc, char **argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: random_pgn GAMES PLIES SEED [draws]\n");
        return 2;
    }
    long games = std::atol(argv[1]), plies = std::atol(argv[2]);
    bool draws = argc > 4 && std::strcmp(argv[4], "draws") == 0;
    std::mt19937 rng(std::uint32_t(std::atol(argv[3])));
    initAttackTables();
    eval::initEvaluation();
    const char *results[] = {"1-0", "0-1", "1/2-1/2"};
    for (long g = 1; g <= games; ++g) {
        const char *result = draws ? results[2] : results[rng() % 3];
        std::string text;
        LoadFen(START_FEN);
        Position pos = GamePosition;
        for (long ply = 0; ply < plies; ++ply) {
            MoveEntry list[MAX_MOVES];
            int n = GenerateLegal(pos, list);
            if (n == 0) break;
            Move m = entryMove(list[rng() % unsigned(n)]);
            if (ply % 2 == 0) text += std::to_string(ply / 2 + 1) + ". ";
            text += booktool::toSan(pos, m);
            text += ' ';
            PieceType captured;
            MakeMove(pos, m, captured);
        }
        std::printf("[Event \"random\"]\n[Site \"?\"]\n[Round \"%ld\"]\n[Result \"%s\"]\n\n", g, result);
        // Lines of at most about 80 characters.
        std::size_t start = 0;
        while (text.size() - start > 80) {
            std::size_t cut = text.rfind(' ', start + 80);
            std::printf("%s\n", text.substr(start, cut - start).c_str());
            start = cut + 1;
        }
        std::printf("%s%s\n\n", text.substr(start).c_str(), result);
    }
    return 0;
}

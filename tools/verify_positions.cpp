// Checks test positions independently of the search's pruning.
//   verify_positions mate FEN MAXN   exact length of the shortest forced mate (brute force, no pruning)
//   verify_positions moves FEN DEPTH score of every root move: the reply searched to DEPTH - 1
//   verify_positions gen SEED COUNT  random sparse positions with White to move that mate in 2 to 4
//   verify_positions tactics SEED COUNT  random positions where one quiet or checking move wins
//                                    material by a plain material minimax (3 plies, then captures)
// Built with the release preset as build/release/verify_positions.
#include "control/startup.h"
#include "eval/evaluate.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "search/context.h"
#include "search/depth_driver.h"
#include "search/hooks.h"
#include "search/search.h"
#include "search/settings.h"
#include "search/tt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace position;

namespace {

std::vector<MoveEntry> Lists[64];

int legalMoves(Position &pos, int depth) {
    std::vector<MoveEntry> &list = Lists[depth];
    list.resize(MAX_MOVES);
    int n = GenerateLegal(pos, list.data());
    int kept = 0;
    UndoState u = saveUndo(pos);
    for (int i = 0; i < n; ++i) {
        Move m = entryMove(list[std::size_t(i)]);
        PieceType cap;
        MakeMove(pos, m, cap);
        Colour mover = Colour(pos.sideToMove ^ 1);
        bool legal = !IsSquareAttacked(pos, Colour(pos.sideToMove), pos.kingSquare[mover]);
        UnmakeMove(pos, m, cap, u);
        if (legal) list[std::size_t(kept++)] = list[std::size_t(i)];
    }
    return kept;
}

// Can the side to move mate within n moves?
long long Budget = 1LL << 62;

bool mates(Position &pos, int n, int level) {
    if (--Budget < 0) return false;
    int count = legalMoves(pos, level);
    UndoState u = saveUndo(pos);
    for (int i = 0; i < count; ++i) {
        Move m = entryMove(Lists[level][std::size_t(i)]);
        PieceType cap;
        MakeMove(pos, m, cap);
        bool forced = true;
        int replies = legalMoves(pos, level + 1);
        if (replies == 0) {
            forced = inCheck(pos);
        } else if (n == 1) {
            forced = false;
        } else {
            UndoState v = saveUndo(pos);
            for (int j = 0; j < replies && forced; ++j) {
                Move r = entryMove(Lists[level + 1][std::size_t(j)]);
                PieceType cap2;
                MakeMove(pos, r, cap2);
                forced = mates(pos, n - 1, level + 2);
                UnmakeMove(pos, r, cap2, v);
                legalMoves(pos, level + 1); // the recursion reused deeper lists only
            }
        }
        UnmakeMove(pos, m, cap, u);
        if (forced) return true;
    }
    return false;
}

std::uint64_t Seed = 1;
unsigned nextRandom(unsigned range) {
    Seed ^= Seed << 13;
    Seed ^= Seed >> 7;
    Seed ^= Seed << 17;
    return unsigned(Seed % range);
}

// A random legal position: White king and pieces against a black king near an edge, some pawns.
// The board field of a FEN from 64 characters, rank 8 first, '.' for an empty square.
std::string boardFen(const char *board) {
    std::string fen;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            char c = board[rank * 8 + file];
            if (c == '.') {
                ++empty;
                continue;
            }
            if (empty) fen += char('0' + empty);
            empty = 0;
            fen += c;
        }
        if (empty) fen += char('0' + empty);
        if (rank) fen += '/';
    }
    return fen;
}

bool randomPosition(std::string &fen) {
    char board[64];
    std::memset(board, '.', sizeof board);
    auto place = [&](char piece, int sq) {
        if (board[sq] != '.') return false;
        board[sq] = piece;
        return true;
    };
    static const char *sets[] = {"Q", "R", "RR", "QR", "QN", "RB", "QB", "RN", "QQ"};
    const char *set = sets[nextRandom(9)];
    int bk = int(nextRandom(2) ? nextRandom(8) + 56 : nextRandom(64)); // often on the back rank
    place('k', bk);
    if (!place('K', int(nextRandom(64)))) return false;
    for (const char *p = set; *p; ++p)
        if (!place(*p, int(nextRandom(64)))) return false;
    int blackExtras = int(nextRandom(4));
    for (int i = 0; i < blackExtras; ++i) {
        char piece = "pppnbr"[nextRandom(6)];
        int sq = int(nextRandom(48)) + 8;
        if (piece == 'p' && (sq < 8 || sq >= 56)) continue;
        place(piece, sq);
    }
    fen = boardFen(board) + " w - - 0 1";
    return true;
}

constexpr int MATERIAL[7] = {0, 975, 500, 335, 325, 100, 0};
constexpr int MATED = -100000;

int materialBalance(const Position &pos) {
    int v = 0;
    for (int t = 1; t < 6; ++t)
        v += MATERIAL[t] * int(pos.pieceCount[pos.sideToMove][t] - pos.pieceCount[pos.sideToMove ^ 1][t]);
    return v;
}

// Plain alpha-beta on material: full width for `depth` plies, then captures only.
int minimax(Position &pos, int depth, int alpha, int beta, int level) {
    int count = legalMoves(pos, level);
    if (count == 0) return inCheck(pos) ? MATED + level : 0;
    int best = -1000000;
    if (depth <= 0) {
        best = materialBalance(pos);
        if (best >= beta) return best;
        if (best > alpha) alpha = best;
    }
    UndoState u = saveUndo(pos);
    for (int i = 0; i < count; ++i) {
        Move m = entryMove(Lists[level][std::size_t(i)]);
        if (depth <= 0 && pos.isEmpty(moveTo(m)) && movePromotion(m) == 0) continue;
        PieceType cap;
        MakeMove(pos, m, cap);
        int v = -minimax(pos, depth - 1, -beta, -alpha, level + 1);
        UnmakeMove(pos, m, cap, u);
        legalMoves(pos, level); // restore this level's list
        if (v > best) best = v;
        if (v > alpha) alpha = v;
        if (alpha >= beta) break;
    }
    return best;
}

bool randomMiddlegame(std::string &fen) {
    char board[64];
    std::memset(board, '.', sizeof board);
    auto place = [&](char piece, int sq) {
        if (board[sq] != '.') return false;
        if ((piece == 'P' || piece == 'p') && (sq < 8 || sq >= 56)) return false;
        board[sq] = piece;
        return true;
    };
    if (!place('K', int(nextRandom(64))) || !place('k', int(nextRandom(64)))) return false;
    const char *white = "QRRBBNNPPPPP", *black = "qrrbbnnppppp";
    int wn = 2 + int(nextRandom(4)), bn = 2 + int(nextRandom(4));
    for (int i = 0; i < wn; ++i)
        place(white[nextRandom(12)], int(nextRandom(64)));
    for (int i = 0; i < bn; ++i)
        place(black[nextRandom(12)], int(nextRandom(64)));
    fen = boardFen(board) + " w - - 0 1";
    return true;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 4) return 2;
    control::initEngine();
    search::Hooks.readInput = search::readNoInput; // a measurement reads no commands
    eval::initEvaluation();
    search::initSearch();
    search::Settings.hashMb = 64;
    search::allocateHash();
    if (std::strcmp(argv[1], "gen") == 0) {
        Seed = std::strtoull(argv[2], nullptr, 10) * 2654435761ULL + 1;
        int wanted = std::atoi(argv[3]), found = 0;
        while (found < wanted) {
            std::string fen;
            if (!randomPosition(fen)) continue;
            LoadFen(fen);
            Position p = GamePosition;
            if (p.pieceCount[WHITE][KING] != 1 || inCheck(p)) continue;
            Position flipped = p;
            flipped.sideToMove ^= 1;
            if (inCheck(flipped)) continue; // Black may not stand in check with White to move
            int n = 0;
            for (int k = 1; k <= 4 && !n; ++k) {
                Budget = 20000000;
                if (mates(p, k, 0) && Budget >= 0) n = k;
                if (Budget < 0) break;
            }
            if (n >= 2) {
                std::printf("%s;mate %d\n", fen.c_str(), n);
                std::fflush(stdout);
                ++found;
            }
        }
        return 0;
    }
    if (std::strcmp(argv[1], "tactics") == 0) {
        Seed = std::strtoull(argv[2], nullptr, 10) * 2654435761ULL + 7;
        int wanted = std::atoi(argv[3]), found = 0;
        while (found < wanted) {
            std::string fen;
            if (!randomMiddlegame(fen)) continue;
            LoadFen(fen);
            Position p = GamePosition;
            Position flipped = p;
            flipped.sideToMove ^= 1;
            if (inCheck(p) || inCheck(flipped)) continue;
            int start = materialBalance(p);
            int count = legalMoves(p, 0);
            std::vector<MoveEntry> roots(Lists[0].begin(), Lists[0].begin() + count);
            int best = -1000000, second = -1000000;
            Move bestMove = 0;
            UndoState u = saveUndo(p);
            for (MoveEntry e : roots) {
                Move m = entryMove(e);
                PieceType cap;
                MakeMove(p, m, cap);
                int v = -minimax(p, 3, -1000000, 1000000, 1);
                UnmakeMove(p, m, cap, u);
                if (v > best) {
                    second = best;
                    best = v;
                    bestMove = m;
                } else if (v > second) {
                    second = v;
                }
            }
            // The gain must come from what follows, not from the move's own capture.
            int immediate = MATERIAL[p.typeOn(moveTo(bestMove))];
            if (count > 1 && movePromotion(bestMove) == 0 && best - start - immediate >= 200 &&
                best - second >= 200 && best < 50000) {
                std::printf("%s;bm %s;gain %d;next %d\n", fen.c_str(), moveText(bestMove).c_str(),
                            best - start, second - start);
                std::fflush(stdout);
                ++found;
            }
        }
        return 0;
    }
    LoadFen(argv[2]);
    Position pos = GamePosition;
    int limit = std::atoi(argv[3]);
    if (std::strcmp(argv[1], "mate") == 0) {
        for (int n = 1; n <= limit; ++n)
            if (mates(pos, n, 0)) {
                std::printf("mate %d\n", n);
                return 0;
            }
        std::printf("none\n");
        return 0;
    }
    int count = legalMoves(pos, 0);
    std::vector<MoveEntry> roots = Lists[0];
    for (int i = 0; i < count; ++i) {
        Move m = entryMove(roots[std::size_t(i)]);
        Position child = pos;
        PieceType cap;
        MakeMove(child, m, cap);
        search::clearHash();
        search::DepthResult r = search::searchToDepth(child, limit - 1);
        std::printf("%s %d\n", moveText(m).c_str(), -r.score);
    }
    return 0;
}

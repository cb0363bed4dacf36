#include "booktool/polyglot.h"

#include "book/key.h"
#include "booktool/writer.h"
#include "position/fen.h"
#include "position/makemove.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace booktool {

using namespace position;

namespace {

constexpr std::size_t ENTRY_SIZE = 16;
constexpr std::size_t PROGRESS_EVERY = 100000; // positions
constexpr int CASTLING_RANDOM = 768, EN_PASSANT_RANDOM = 772, WHITE_TO_MOVE_RANDOM = 780;
constexpr int POLYGLOT_KIND[6] = {6, 5, 4, 3, 2, 1}; // Polyglot's piece number by PieceType
constexpr std::uint32_t PROMOTION[8] = {0, KNIGHT, BISHOP, ROOK, QUEEN, 8, 8, 8}; // 8: invalid

// Polyglot numbers squares a1 = 0 ... h8 = 63; ours run h1 = 0 ... a8 = 63 (the file reversed).
constexpr Square fromPolyglotSquare(int sq) { return Square(sq ^ 7); }

std::uint64_t bigEndian(const unsigned char *p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

// The positions still to expand: a depth-first walk keeps only the current line in memory.
struct Frame {
    Position pos;
    std::vector<Move> moves;
    std::size_t next = 0;
};

} // namespace

std::uint64_t polyglotKey(const Position &pos) {
    std::uint64_t key = 0;
    for (Square sq = 0; sq < 64; ++sq) {
        if (pos.isEmpty(sq)) continue;
        int kind = 2 * (POLYGLOT_KIND[pos.typeOn(sq)] - 1) + (pos.colourOn(sq) == WHITE);
        key ^= PolyglotRandom[64 * kind + (sq ^ 7)];
    }
    const std::uint32_t rights[4] = {CASTLE_K, CASTLE_Q, CASTLE_k, CASTLE_q};
    for (int i = 0; i < 4; ++i)
        if (pos.castling & rights[i]) key ^= PolyglotRandom[CASTLING_RANDOM + i];
    // Our en-passant square is set only when a pawn stands ready to capture: Polyglot's rule.
    if (pos.epSquare != NO_SQUARE) key ^= PolyglotRandom[EN_PASSANT_RANDOM + 7 - fileOf(pos.epSquare)];
    if (pos.sideToMove == WHITE) key ^= PolyglotRandom[WHITE_TO_MOVE_RANDOM];
    return key;
}

bool readPolyglotBook(const std::string &path, PolyglotBook &book, std::string &error) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<unsigned char> block(ENTRY_SIZE * 65536);
    book = PolyglotBook{};
    for (;;) {
        std::size_t bytes = std::fread(block.data(), 1, block.size(), f);
        std::size_t whole = bytes / ENTRY_SIZE;
        for (std::size_t i = 0; i < whole; ++i) {
            const unsigned char *p = &block[i * ENTRY_SIZE];
            book.entries.push_back(
                {bigEndian(p, 8), std::uint16_t(bigEndian(p + 8, 2)), std::uint16_t(bigEndian(p + 10, 2))});
        }
        if (bytes < block.size()) {
            book.trailingBytes = bytes - whole * ENTRY_SIZE;
            break;
        }
    }
    bool failed = std::ferror(f);
    std::fclose(f);
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    std::stable_sort(book.entries.begin(), book.entries.end(),
                     [](const PolyglotEntry &a, const PolyglotEntry &b) { return a.key < b.key; });
    return true;
}

Move decodePolyglotMove(const Position &pos, std::uint16_t raw, const MoveEntry *legal, int n) {
    Square from = fromPolyglotSquare((raw >> 6) & 63), to = fromPolyglotSquare(raw & 63);
    std::uint32_t promotion = PROMOTION[(raw >> 12) & 7];
    if (promotion > KNIGHT) return NO_MOVE;
    Move move = makeMove(from, to, promotion);
    if (pos.typeOn(from) == KING && pos.colourOn(from) == int(pos.sideToMove)) {
        if (from == SQ_E1 && to == SQ_H1) move = CASTLE_WK;
        if (from == SQ_E1 && to == SQ_A1) move = CASTLE_WQ;
        if (from == SQ_E8 && to == SQ_H8) move = CASTLE_BK;
        if (from == SQ_E8 && to == SQ_A8) move = CASTLE_BQ;
    }
    for (int i = 0; i < n; ++i)
        if (entryMove(legal[i]) == move) return move;
    return NO_MOVE;
}

std::vector<book::BookEntry> walkPolyglotBook(const PolyglotBook &book, WalkReport &report) {
    report = WalkReport{};
    std::vector<book::BookEntry> out;
    std::unordered_set<std::uint64_t> seen, usedKeys;
    std::size_t used = 0; // entries of the keys reached
    std::vector<Frame> stack(1);
    Position saved = GamePosition;
    LoadFen(START_FEN);
    stack[0].pos = GamePosition;
    GamePosition = saved;
    seen.insert(polyglotKey(stack[0].pos));
    bool expand = true;
    while (!stack.empty()) {
        if (expand) {
            // Collect this position's book moves and emit them.
            Frame &f = stack.back();
            std::uint64_t key = polyglotKey(f.pos);
            auto range = std::equal_range(
                book.entries.begin(), book.entries.end(), PolyglotEntry{key, 0, 0},
                [](const PolyglotEntry &a, const PolyglotEntry &b) { return a.key < b.key; });
            used += std::size_t(range.second - range.first);
            MoveEntry legal[MAX_MOVES];
            int n = GenerateLegal(f.pos, legal);
            std::vector<std::uint32_t> weights;
            for (auto e = range.first; e != range.second; ++e) {
                Move m = decodePolyglotMove(f.pos, e->move, legal, n);
                if (m == NO_MOVE) {
                    ++report.illegal;
                } else if (e->weight == 0) {
                    ++report.zeroWeight;
                } else if (auto at = std::find(f.moves.begin(), f.moves.end(), m); at != f.moves.end()) {
                    ++report.merged;
                    weights[std::size_t(at - f.moves.begin())] += e->weight;
                } else {
                    f.moves.push_back(m);
                    weights.push_back(e->weight);
                }
            }
            if (!f.moves.empty() && ++report.positions % PROGRESS_EVERY == 0)
                std::fprintf(stderr, "%zu positions walked, %zu entries so far\n", report.positions,
                             out.size());
            std::vector<std::uint8_t> scaled = scaleWeights(weights);
            for (std::size_t i = 0; i < f.moves.size(); ++i) {
                std::uint64_t k = book::bookKey(f.pos, f.moves[i]);
                if (!usedKeys.insert(k).second) {
                    ++report.sameKey;
                    continue;
                }
                out.push_back({k, 0, book::BOOK_MAIN | book::BOOK_TOURNAMENT, scaled[i]});
            }
        }
        // Step into the next unseen child, or go back up.
        Frame &f = stack.back();
        expand = false;
        while (!expand && f.next < f.moves.size()) {
            Frame child{f.pos, {}, 0};
            PieceType captured;
            MakeMove(child.pos, f.moves[f.next++], captured);
            if (seen.insert(polyglotKey(child.pos)).second) {
                stack.push_back(std::move(child));
                expand = true;
            }
        }
        if (!expand) stack.pop_back();
    }
    report.unreached = book.entries.size() - used;
    return out;
}

} // namespace booktool

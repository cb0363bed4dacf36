// Builds the internal book's repertoire, src/book/internal_lines.cpp, from public opening theory:
// the named lines (SAN) of the ECO classification file scid.eco that Debian's scid package
// installs in /usr/share/scid/data.
//
// Rules:
// 1. Lines per first move: e4 539, d4 324, c4 55, Nf3 45, e3 4, b4 3, g3 3, Nc3 2, b3 2, f4 2,
//    g4 1 (980 lines). Of the file's lines that begin with the move and are no prefix of another
//    such line, that many are taken evenly spread in file order (so every opening family is
//    represented), cut after MAX_PLIES plies. A first move with too few lines gets the missing
//    ones as 1.X followed by a classical reply and our engine's own best moves.
// 2. A White first move other than e4, d4, c4 and Nf3 carries the avoid hyphen: those lines are
//    there so that the engine knows how to answer them as Black, not to play them.
// 3. Any other move carries the avoid hyphen when our engine, searching SEARCH_DEPTH plies,
//    scores it AVOID_MARGIN centipawns or more below the best move of its position.
//
// Built with the release preset. Run (about 15 minutes on one core):
//   build/release/make_repertoire /usr/share/scid/data/scid.eco src/book/internal_lines.cpp [cache]
// The optional cache file keeps the search scores, so that a rerun does not search again.
#include "base/options.h"
#include "book/key.h"
#include "booktool/san.h"
#include "control/protocol.h"
#include "control/startup.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "position/notation.h"
#include "search/depth_driver.h"
#include "search/hooks.h"
#include "search/search.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace position;

namespace {

constexpr int MAX_PLIES = 40;
constexpr int EXTENDED_PLIES = 10;
constexpr int SEARCH_DEPTH = 7;
constexpr int AVOID_MARGIN = 60;
constexpr std::uint64_t NODE_LIMIT = 3000000; // a few positions explode at a fixed depth
constexpr std::size_t ENTRY_LIMIT = 9000;

struct Quota {
    const char *move;
    std::size_t lines;
    bool avoided;
};
const Quota QUOTAS[] = {{"e2e4", 539, false}, {"d2d4", 324, false}, {"c2c4", 55, false}, {"g1f3", 45, false},
                        {"e2e3", 4, true},    {"b2b4", 3, true},    {"g2g3", 3, true},   {"b1c3", 2, true},
                        {"b2b3", 2, true},    {"f2f4", 2, true},    {"g2g4", 1, true}};
const char *const CLASSICAL_REPLIES[] = {"d7d5", "g8f6", "e7e5", "c7c5", "e7e6"};

using Line = std::vector<Move>;

Position startPosition() {
    LoadFen(START_FEN);
    return GamePosition;
}

void play(Position &pos, Move m) {
    PieceType captured;
    MakeMove(pos, m, captured);
}

// The lines of the ECO file whose moves all parse, in file order.
std::vector<Line> readEco(const char *path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<Line> lines;
    std::string all = text.str();
    for (std::size_t at = 0; (at = all.find('"', at)) != std::string::npos;) {
        std::size_t nameEnd = all.find('"', at + 1), end = all.find('*', nameEnd);
        if (nameEnd == std::string::npos || end == std::string::npos) break;
        std::istringstream moves(all.substr(nameEnd + 1, end - nameEnd - 1));
        at = end + 1;
        Position pos = startPosition();
        Line line;
        for (std::string token; moves >> token;) {
            std::size_t dot = token.find_last_of('.');
            if (dot != std::string::npos) token = token.substr(dot + 1);
            if (token.empty()) continue;
            std::string error;
            Move m = booktool::parseSan(pos, token, error);
            if (m == NO_MOVE) {
                line.clear();
                break;
            }
            line.push_back(m);
            play(pos, m);
        }
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

bool isPrefix(const Line &a, const Line &b) {
    return a.size() < b.size() && std::equal(a.begin(), a.end(), b.begin());
}

Move bestMove(const Position &pos, int depth) { return search::searchToDepth(pos, depth).bestMove; }

// 1.X, a classical reply and the engine's own continuation.
std::vector<Line> extendedLines(Move first, std::size_t count) {
    std::vector<Line> out;
    for (const char *reply : CLASSICAL_REPLIES) {
        if (out.size() == count) break;
        Position pos = startPosition();
        play(pos, first);
        Line line{first};
        Move r = TextToMove(reply);
        MoveEntry legal[MAX_MOVES];
        int n = GenerateLegal(pos, legal);
        if (std::none_of(legal, legal + n, [&](MoveEntry e) { return entryMove(e) == r; })) continue;
        line.push_back(r);
        play(pos, r);
        while (line.size() < EXTENDED_PLIES) {
            Move m = bestMove(pos, SEARCH_DEPTH);
            if (m == NO_MOVE) break;
            line.push_back(m);
            play(pos, m);
        }
        out.push_back(line);
    }
    return out;
}

std::vector<Line> selectLines(const std::vector<Line> &eco) {
    std::vector<Line> chosen;
    for (const Quota &q : QUOTAS) {
        Move first = TextToMove(q.move);
        std::vector<Line> group;
        for (const Line &l : eco)
            if (l[0] == first) group.push_back(l);
        std::vector<Line> leaves;
        for (const Line &l : group)
            if (std::none_of(group.begin(), group.end(), [&](const Line &o) { return isPrefix(l, o); }))
                leaves.push_back(Line(l.begin(), l.begin() + std::min<std::size_t>(l.size(), MAX_PLIES)));
        std::vector<Line> picked;
        for (std::size_t i = 0; i < q.lines && i < leaves.size(); ++i)
            picked.push_back(leaves[i * leaves.size() / q.lines]);
        if (picked.size() < q.lines)
            for (Line &l : extendedLines(first, q.lines - picked.size()))
                picked.push_back(l);
        std::fprintf(stderr, "%s: %zu lines in the file, %zu leaves, %zu taken\n", q.move, group.size(),
                     leaves.size(), picked.size());
        chosen.insert(chosen.end(), picked.begin(), picked.end());
    }
    return chosen;
}

// Search scores by book key: the position's best (key of NO_MOVE slot) and each move's.
using Scores = std::map<std::uint64_t, int>;

Scores readScores(const std::string &path) {
    Scores s;
    std::ifstream in(path);
    std::uint64_t key;
    int score;
    while (in >> std::hex >> key >> std::dec >> score)
        s[key] = score;
    return s;
}

int cachedSearch(Scores &cache, std::uint64_t id, const Position &pos, int depth) {
    auto it = cache.find(id);
    if (it != cache.end()) return it->second;
    int score = search::searchToDepth(pos, depth, NODE_LIMIT).score;
    cache[id] = score;
    return score;
}

// The book keys of the moves our search finds AVOID_MARGIN or more below their position's best.
std::set<std::uint64_t> weakMoves(const std::vector<Line> &lines, Scores &cache) {
    std::set<std::uint64_t> weak, done;
    std::size_t evaluated = 0;
    for (const Line &line : lines) {
        Position pos = startPosition();
        for (Move m : line) {
            std::uint64_t key = book::bookKey(pos, m);
            if (done.insert(key).second) {
                Position child = pos;
                play(child, m);
                MoveEntry replies[MAX_MOVES];
                if (GenerateLegal(child, replies) > 0) {
                    int best = cachedSearch(cache, pos.key, pos, SEARCH_DEPTH);
                    int score = -cachedSearch(cache, key, child, SEARCH_DEPTH - 1);
                    if (score <= best - AVOID_MARGIN) weak.insert(key);
                }
                if (++evaluated % 500 == 0) std::fprintf(stderr, "%zu moves evaluated\n", evaluated);
            }
            play(pos, m);
        }
    }
    return weak;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_repertoire scid.eco internal_lines.cpp [score-cache]\n");
        return 2;
    }
    control::initEngine();
    search::Hooks.readInput = search::readNoInput;
    // Without a book, the ponder-move choice cannot narrow the lists of positions searched later;
    // in xboard mode without "post" the searches print nothing.
    base::Options[base::OPTION_OWN_BOOK].value = 0;
    control::setProtocolMode(control::MODE_XBOARD);
    std::vector<Line> lines = selectLines(readEco(argv[1]));
    std::set<std::uint64_t> distinct;
    for (const Line &line : lines) {
        Position pos = startPosition();
        for (Move m : line) {
            distinct.insert(book::bookKey(pos, m));
            play(pos, m);
        }
    }
    std::fprintf(stderr, "%zu distinct entries\n", distinct.size());
    if (distinct.size() >= ENTRY_LIMIT) return 1;
    std::string cachePath = argc > 3 ? argv[3] : "";
    Scores cache = cachePath.empty() ? Scores{} : readScores(cachePath);
    std::set<std::uint64_t> weak = weakMoves(lines, cache);
    if (!cachePath.empty()) {
        std::ofstream out(cachePath);
        for (auto [key, score] : cache)
            out << std::hex << key << ' ' << std::dec << score << '\n';
    }
    std::set<std::uint64_t> entries;
    std::size_t avoided[2] = {0, 0};
    std::FILE *out = std::fopen(argv[2], "w");
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out,
                 "// Generated by tools/make_repertoire.cpp from the ECO lines of scid.eco; do not edit.\n"
                 "// A hyphen after a move marks it as avoided (rules in the generator).\n"
                 "#include \"book/internal.h\"\n\nnamespace book {\n\n"
                 "const char *const InternalBookLines[INTERNAL_BOOK_LINE_COUNT] = {\n");
    for (const Line &line : lines) {
        Position pos = startPosition();
        std::string text;
        for (std::size_t ply = 0; ply < line.size(); ++ply) {
            Move m = line[ply];
            std::uint64_t key = book::bookKey(pos, m);
            bool avoid = weak.count(key) ||
                         (ply == 0 && std::any_of(std::begin(QUOTAS), std::end(QUOTAS), [&](const Quota &q) {
                              return q.avoided && TextToMove(q.move) == m;
                          }));
            if (entries.insert(key).second && avoid) ++avoided[pos.sideToMove];
            if (ply && text.back() != '-') text += ' ';
            text += moveText(m);
            if (avoid) text += '-';
            play(pos, m);
        }
        std::fprintf(out, "    \"%s\",\n", text.c_str());
    }
    std::fprintf(out, "};\n\n} // namespace book\n");
    std::fclose(out);
    std::fprintf(stderr, "%zu lines, %zu distinct entries (limit %zu), avoided: %zu White, %zu Black\n",
                 lines.size(), entries.size(), ENTRY_LIMIT, avoided[WHITE], avoided[BLACK]);
    return entries.size() < ENTRY_LIMIT && lines.size() == 980 ? 0 : 1;
}

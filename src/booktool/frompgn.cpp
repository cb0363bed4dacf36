#include "booktool/frompgn.h"

#include "book/key.h"
#include "booktool/pgn.h"
#include "booktool/san.h"
#include "booktool/writer.h"
#include "position/fen.h"
#include "position/makemove.h"

#include <algorithm>
#include <cstdio>

namespace booktool {

using namespace position;

namespace {

constexpr std::size_t PROGRESS_EVERY = 10000;
constexpr std::uint32_t MAIN_MIN_GAMES = 2, MAIN_MIN_SHARE = 5; // percent of the position's games
constexpr std::uint32_t RESULT_MIN_GAMES = 3;
constexpr int AVOID_SCORE = -50, SCORE_SCALE = 100;

// White's points doubled (2 win, 1 draw, 0 loss); -1 when the game has no result.
int whitePoints(const std::string &result) {
    if (result == "1-0") return 2;
    if (result == "1/2-1/2") return 1;
    if (result == "0-1") return 0;
    return -1;
}

Position startOf(const PgnGame &game) {
    Position saved = GamePosition;
    LoadFen(game.fen.empty() ? START_FEN : game.fen.c_str());
    Position start = GamePosition;
    GamePosition = saved;
    return start;
}

bool standardChess(const std::string &variant) {
    return variant.empty() || variant == "standard" || variant == "Standard" || variant == "chess";
}

std::uint8_t flagsFor(const MoveStats &s, int score, std::uint32_t positionGames) {
    std::uint32_t known = s.wins + s.draws + s.losses;
    if (known >= RESULT_MIN_GAMES && score <= AVOID_SCORE)
        return book::BOOK_AVOID | book::BOOK_AVOID_TOURNAMENT;
    std::uint8_t flags = 0;
    if (s.games >= MAIN_MIN_GAMES && s.games * 100 >= positionGames * MAIN_MIN_SHARE) {
        flags |= book::BOOK_MAIN;
        if (score >= 0) flags |= book::BOOK_TOURNAMENT;
    }
    if (known >= RESULT_MIN_GAMES && score < 0) flags |= book::BOOK_AVOID_TOURNAMENT;
    return flags;
}

} // namespace

bool countPgnFile(const std::string &path, const PgnOptions &options, MoveCounts &counts, PgnReport &report,
                  std::string &error) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    PgnReader reader(f);
    PgnGame game;
    std::vector<std::pair<std::uint64_t, bool>> keys; // book key, played by White
    while (reader.next(game)) {
        if (++report.games % PROGRESS_EVERY == 0)
            std::fprintf(stderr, "%s: %zu games read\n", path.c_str(), report.games);
        std::string why;
        if (!standardChess(game.variant)) why = "variant " + game.variant;
        Position pos = startOf(game);
        keys.clear();
        for (std::size_t ply = 0; why.empty() && ply < game.moves.size() && int(ply) < options.maxPly;
             ++ply) {
            std::string reason;
            Move m = parseSan(pos, game.moves[ply], reason);
            if (m == NO_MOVE) {
                why = "move " + std::to_string(ply / 2 + 1) + (pos.sideToMove == WHITE ? ". " : "... ") +
                      game.moves[ply] + " is " + reason;
                break;
            }
            keys.push_back({book::bookKey(pos, m), pos.sideToMove == WHITE});
            PieceType captured;
            MakeMove(pos, m, captured);
        }
        if (!why.empty()) {
            ++report.skipped;
            std::fprintf(stderr, "%s: game %zu skipped: %s\n", path.c_str(), game.number, why.c_str());
            continue;
        }
        // A move repeated within one game counts once.
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        int white = whitePoints(game.result);
        for (auto [key, byWhite] : keys) {
            MoveStats &s = counts[key];
            ++s.games;
            int points = white < 0 ? -1 : byWhite ? white : 2 - white;
            if (points == 2) ++s.wins;
            if (points == 1) ++s.draws;
            if (points == 0) ++s.losses;
        }
    }
    bool failed = std::ferror(f);
    std::fclose(f);
    if (failed) error = "cannot read " + path;
    return !failed;
}

std::vector<book::BookEntry> pgnBookEntries(const MoveCounts &counts, const PgnOptions &options) {
    std::vector<std::pair<std::uint64_t, MoveStats>> moves;
    for (const auto &[key, stats] : counts)
        if (stats.games >= std::uint32_t(options.minGames)) moves.push_back({key, stats});
    auto byPosition = [](const auto &a, const auto &b) {
        std::uint64_t pa = book::positionPart(a.first), pb = book::positionPart(b.first);
        return pa != pb ? pa < pb : a.first < b.first;
    };
    std::sort(moves.begin(), moves.end(), byPosition);
    std::vector<book::BookEntry> out;
    out.reserve(moves.size());
    for (std::size_t start = 0, end; start < moves.size(); start = end) {
        std::uint64_t position = book::positionPart(moves[start].first);
        std::vector<std::uint32_t> games;
        for (end = start; end < moves.size() && book::positionPart(moves[end].first) == position; ++end)
            games.push_back(moves[end].second.games);
        std::uint32_t total = 0;
        for (std::uint32_t g : games)
            total += g;
        std::vector<std::uint8_t> weights = scaleWeights(games);
        for (std::size_t i = start; i < end; ++i) {
            const MoveStats &s = moves[i].second;
            std::uint32_t known = s.wins + s.draws + s.losses;
            int score = known ? SCORE_SCALE * (int(s.wins) - int(s.losses)) / int(known) : 0;
            out.push_back(
                {moves[i].first, std::int16_t(score), flagsFor(s, score, total), weights[i - start]});
        }
    }
    return out;
}

} // namespace booktool

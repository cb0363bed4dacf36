#include "base/clock.h"
#include "control/input.h"
#include "control/search_commands.h"
#include "control/search_output.h"
#include "position/castling.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/picker.h"
#include "search/pvcache.h"
#include "search/root.h"
#include "search/thread.h"
#include "search/timeman.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace control {

using namespace position;

namespace {

constexpr std::size_t SEARCHMOVES_SKIP = 12; // from the keyword's first letter to its moves

// The first integer after `keyword` ("%*s %d" at the keyword), kept within +-bound; false leaves
// `value` alone.
bool readNumber(const std::string &line, std::size_t at, std::int32_t &value, std::int64_t bound) {
    std::size_t p = at;
    while (p < line.size() && !std::isspace(static_cast<unsigned char>(line[p])))
        ++p;
    while (p < line.size() && std::isspace(static_cast<unsigned char>(line[p])))
        ++p;
    if (p >= line.size()) return false;
    char *end = nullptr;
    long long v = std::strtoll(line.c_str() + p, &end, 10);
    if (end == line.c_str() + p) return false;
    value = search::boundedLimit(v, bound);
    return true;
}

// Restricts the root to the listed legal moves through the PV move-list cache.
void restrictRootMoves(const std::string &text) {
    Position &pos = GamePosition;
    MoveEntry legal[MAX_MOVES], chosen[MAX_MOVES] = {}; // the cache stores all 256 entries
    int n = GenerateLegal(pos, legal), count = 0;
    std::size_t p = 0;
    for (;;) {
        while (p < text.size() && !isFileLetter(text[p]))
            ++p;
        if (p + 4 > text.size()) break;
        std::uint32_t promotion = 0;
        std::size_t end = p + 4;
        if (end < text.size()) {
            const char *letter = std::strchr("qrbn", text[end]);
            if (text[end] && letter) {
                promotion = std::uint32_t(letter - "qrbn") + 1;
                ++end;
            }
        }
        if (isRankDigit(text[p + 1]) && isFileLetter(text[p + 2]) && isRankDigit(text[p + 3])) {
            Move m = adaptCastlingMove(pos, makeMove(textToSquare(text[p], text[p + 1]),
                                                     textToSquare(text[p + 2], text[p + 3]), promotion));
            for (int i = 0; i < n && count < MAX_MOVES; ++i)
                if (entryMove(legal[i]) == m) chosen[count++] = makeEntry(m, 0);
        }
        if (end >= text.size() || text[end] != ' ') break;
        p = end + 1;
    }
    for (int i = 0; i < count; ++i) {
        Move m = entryMove(chosen[i]);
        chosen[i] = makeEntry(m, search::exchangeOrderScore(pos, m));
    }
    search::pvCacheReplace(search::mainThread().pvCache, pos, chosen, count);
}

} // namespace

void goCommand(std::string_view text) {
    using namespace search;
    std::string line(text);
    std::uint32_t &limitFlags = Shared.limitFlags;
    Limits &limits = Shared.limits;
    limitFlags = 0;
    setSearchState(STATE_THINKING);
    auto at = [&](const char *word) { return line.find(word); };
    constexpr auto npos = std::string::npos;
    if (at("infinite") != npos) limitFlags |= LIMIT_INFINITE;
    if (at("ponder") != npos) {
        limitFlags |= LIMIT_INFINITE;
        setSearchState(STATE_PONDERING);
    }
    struct Keyword {
        const char *word;
        std::uint32_t flag;
        std::int32_t *value;
    };
    const Keyword keywords[] = {
        {"wtime", LIMIT_CLOCK, &limits.time[0]},
        {"btime", LIMIT_CLOCK, &limits.time[1]},
        {"winc", LIMIT_INC, &limits.inc[0]},
        {"binc", LIMIT_INC, &limits.inc[1]},
        {"movestogo", LIMIT_MOVESTOGO, &limits.movestogo},
        {"depth", LIMIT_DEPTH, &limits.depth},
        {"nodes", LIMIT_NODES, &limits.nodes},
        {"movetime", LIMIT_MOVETIME, &limits.movetime},
        {"mate", LIMIT_MATE | LIMIT_INFINITE, &limits.mate},
    };
    for (const Keyword &k : keywords)
        if (std::size_t p = at(k.word); p != npos) {
            limitFlags |= k.flag;
            readNumber(line, p, *k.value,
                       k.flag == LIMIT_DEPTH   ? DEPTH_BOUND
                       : k.flag == LIMIT_NODES ? std::int64_t(INT32_MAX)
                                               : CLOCK_BOUND_MS);
        }
    if (std::size_t p = at("searchmoves"); p != npos) {
        limitFlags |= LIMIT_INFINITE;
        restrictRootMoves(p + SEARCHMOVES_SKIP < line.size() ? line.substr(p + SEARCHMOVES_SKIP)
                                                             : std::string());
    }
    if (limitFlags == 0) limitFlags = LIMIT_INFINITE;
    announceMove(runSearch());
}

void ponderhitCommand(std::string_view) {
    using namespace search;
    SearchContext &c = Shared;
    c.limitFlags &= ~LIMIT_INFINITE;
    setSearchState(STATE_THINKING);
    c.moveStartTime = base::GetTimeMs();
    computeTimeBudget(mainThread().position.fifty);
    if (c.instantMove != NO_MOVE) {
        if (c.instantMove != c.rootBest.bestMove) setBestMove(c.instantMove, 0, 0);
        stopSearch();
    }
}

} // namespace control

#include "book/select.h"

#include "base/options.h"
#include "book/key.h"
#include "book/random.h"
#include "book/table.h"
#include "eval/evaluate.h"
#include "position/castling.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/pvcache.h"
#include "search/thread.h"

#include <algorithm>
#include <utility>

namespace book {

using namespace position;

namespace {

constexpr std::uint32_t QUICK_REPETITION_FIFTY_LIMIT = 50;
constexpr int SCORE_WINDOW = 50; // moves this far below the best score still get a score share
constexpr int LOWEST_SCORE = -32768;

// A cached list may hold stale or empty entries beyond its count: only a move of a piece of the
// side to move can have a book key.
bool hasMover(const Position &pos, Move m) {
    return moveFrom(m) != moveTo(m) && pos.colourOn(moveFrom(m)) == int(pos.sideToMove) &&
           movePromotion(m) <= KNIGHT;
}

void recordSelection(BookSelection &selection, const MoveEntry *list, const BookChoice *moves, int count,
                     int r) {
    selection.count = 0;
    selection.random = r;
    for (int i = 0; i < count; ++i)
        if (moves[i].percent != 0) {
            selection.moves[selection.count] = entryMove(list[i]);
            selection.percent[selection.count++] = moves[i].percent;
        }
}

} // namespace

int bookPercentages(BookChoice *moves, int count, bool tournament) {
    int nMain = 0, nTour = 0, nAvoid = 0, nAvoidT = 0, best = LOWEST_SCORE;
    for (int i = 0; i < count; ++i) {
        BookChoice &c = moves[i];
        c.percent = 0;
        if (!c.found) continue;
        nMain += (c.flags & BOOK_MAIN) != 0;
        nTour += (c.flags & BOOK_TOURNAMENT) != 0;
        nAvoid += (c.flags & BOOK_AVOID) != 0;
        nAvoidT += (c.flags & BOOK_AVOID_TOURNAMENT) != 0;
        if (c.score > best) best = c.score;
    }
    if (nAvoid == count || (tournament && nAvoidT == count)) return ALL_AVOIDED;
    // Without main moves the score share and the weight share count half each.
    std::uint8_t need = 0, exclude = 0;
    if (nMain == 0)
        exclude = BOOK_AVOID | (tournament ? BOOK_AVOID_TOURNAMENT : 0);
    else
        need = tournament && nTour > 0 ? BOOK_TOURNAMENT : BOOK_MAIN;
    auto eligible = [&](const BookChoice &c) {
        return c.found && (c.flags & need) == need && !(c.flags & exclude);
    };
    int scoreSum = 0, weightSum = 0;
    for (int i = 0; i < count; ++i)
        if (eligible(moves[i])) {
            scoreSum += std::max(moves[i].score - best + SCORE_WINDOW, 0);
            weightSum += moves[i].weight;
        }
    int total = 0;
    for (int i = 0; i < count; ++i) {
        BookChoice &c = moves[i];
        if (!eligible(c)) continue;
        int byWeight = weightSum ? c.weight * 100 / weightSum : 0;
        if (nMain == 0) {
            int byScore = scoreSum ? std::max(c.score - best + SCORE_WINDOW, 0) * 100 / scoreSum : 0;
            c.percent = (byScore + byWeight) / 2;
        } else {
            c.percent = byWeight;
        }
        total += c.percent;
    }
    return total;
}

Move selectBookMove(search::SearchThread &thread, MoveEntry *list, int &count, BookSelection *selection) {
    using namespace base;
    Position &pos = thread.position;
    search::PvCacheState &cache = thread.pvCache;
    // 1. A list cached for this position replaces the generated one.
    int cachedCount = 0;
    int slot = search::pvCacheLookup(cache, pos, list, cachedCount);
    if (slot < 0) slot = cache.used;
    // Chess960 starts are not the book's: its keys all come from the standard start.
    if (!optionBool(OPTION_OWN_BOOK) || position::Chess960Mode) return NO_MOVE;
    if (nextBookRandom() % 100 < optionInt(OPTION_BLINDNESS_BOOK)) return NO_MOVE;
    if (count == 0) return NO_MOVE;
    // 2. Look every move up.
    BookChoice moves[MAX_MOVES];
    bool anyFound = false;
    for (int i = 0; i < count; ++i) {
        Move m = entryMove(list[i]);
        const BookEntry *e = hasMover(pos, m) ? findBookEntry(bookKey(pos, m)) : nullptr;
        moves[i] = e ? BookChoice{true, e->score, e->flags, e->weight, 0} : BookChoice{};
        anyFound |= e != nullptr;
    }
    if (!anyFound) return NO_MOVE;
    bool tournament = optionBool(OPTION_TOURNAMENT_BOOK);
    int total = bookPercentages(moves, count, tournament);
    if (total == ALL_AVOIDED) return NO_MOVE;
    // 3. A weighted random choice; the chosen move goes first and is the only one to search.
    if (total > 0) {
        int r = nextBookRandom() % total;
        if (selection) recordSelection(*selection, list, moves, count, r);
        for (int i = 0; i < count; ++i) {
            r -= moves[i].percent;
            if (r >= 0) continue;
            std::swap(list[0], list[i]);
            search::pvCacheStore(cache, pos, slot, list, 1);
            return entryMove(list[0]);
        }
    }
    // 4. Nothing eligible: the avoid moves leave the list (kept behind its end).
    std::uint8_t avoid = BOOK_AVOID | (tournament ? BOOK_AVOID_TOURNAMENT : 0);
    for (int i = 0; i < count;) {
        if (moves[i].found && (moves[i].flags & avoid)) {
            --count;
            std::swap(list[i], list[count]);
            std::swap(moves[i], moves[count]);
        } else {
            ++i;
        }
    }
    search::pvCacheStore(cache, pos, slot, list, count);
    return NO_MOVE;
}

Move rootBookMove(search::SearchThread &thread, BookSelection *selection) {
    if (search::Shared.engineSide == search::NO_SIDE) return NO_MOVE;
    Position &pos = thread.position;
    MoveEntry list[MAX_MOVES];
    int n = GenerateLegal(pos, list, search::orderingHistory(thread));
    Move m = selectBookMove(thread, list, n, selection);
    if (m != NO_MOVE) return m;
    if (n == 1) return entryMove(list[0]);
    if (n == 0) return NO_MOVE;
    if (!base::optionBool(base::OPTION_SWINDLE_MODE) && eval::isRecognisedDraw(pos))
        return entryMove(list[0]);
    if (base::optionBool(base::OPTION_QUICK_REPETITION) && pos.fifty < QUICK_REPETITION_FIFTY_LIMIT)
        for (int i = 0; i < n; ++i) {
            Move move = entryMove(list[i]);
            if (RepetitionCount(pos, KeyAfterMove(pos, move), pos.sideToMove ^ 1) == 1) return move;
        }
    return NO_MOVE;
}

} // namespace book

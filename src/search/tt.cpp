#include "search/tt.h"

#include "eval/pawns.h"
#include "platform/platform.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/draw.h"
#include "search/pvcache.h"
#include "search/settings.h"
#include "search/thread.h"

#include <cstring>

namespace search {

using namespace position;

HashTableState HashTable{nullptr, 0, 0};

namespace {

std::uint64_t checkWord(std::uint64_t key, std::uint32_t side, int score, Move move, unsigned depth,
                        unsigned bound) {
    return key ^ side ^ std::uint64_t(std::int64_t(score)) ^ move ^ depth ^ bound;
}

bool verifies(const HashEntry &e, std::uint64_t key, std::uint32_t side) {
    return e.check == checkWord(key, side, e.score, e.move, e.depth, e.bound);
}

int fromTable(int s, int ply) {
    if (s > MATE_BOUND) return s - ply;
    if (s < -MATE_BOUND) return s + ply;
    return s;
}

int depthPlies(int depth) { return depth < 0 ? 0 : wholePlies(depth); }

// Steps shared by both probe forms: verify, report the move, decide whether the score may be used.
bool readEntry(const Position &pos, int ply, int depth, ProbeResult &r, int &bound) {
    r = {NO_MOVE, NO_SCORE};
    if (HashTable.mask == 0) return false;
    const HashEntry &e = *entryFor(pos.key);
    if (!verifies(e, pos.key, pos.sideToMove)) return false;
    r.move = e.move;
    if (e.depth < wholePlies(depth) || pos.fifty > FIFTY_TRUST_LIMIT || e.colour != Shared.engineSide)
        return false;
    r.score = fromTable(e.score, ply);
    bound = e.bound;
    return true;
}

} // namespace

bool allocateHash() {
    platform::freeLargeTable(HashTable.entries);
    HashTable = {nullptr, 0, 0};
    if (Settings.hashMb <= 0) return true;
    std::uint64_t count = std::uint64_t(Settings.hashMb) * ENTRIES_PER_MB;
    HashTable.entries = static_cast<HashEntry *>(platform::allocateLargeTable(count * sizeof(HashEntry)));
    if (!HashTable.entries) return false;
    std::memset(static_cast<void *>(HashTable.entries), 0, count * sizeof(HashEntry));
    HashTable.mask = count - 1;
    return true;
}

void clearHash() {
    if (HashTable.mask)
        std::memset(static_cast<void *>(HashTable.entries), 0, (HashTable.mask + 1) * sizeof(HashEntry));
    HashTable.filled = 0;
    for (SearchThread *t : Threads)
        if (t) {
            eval::clearPawnTable(t->pawns);
            pvCacheClear(t->pvCache);
        }
}

bool resizeHashTables() {
    bool allocated = allocateHash();
    for (SearchThread *t : Threads)
        if (t) {
            eval::allocatePawnTable(t->pawns);
            pvCacheClear(t->pvCache);
        }
    return allocated;
}

ProbeResult probeScout(const Position &pos, int ply, int depth, int beta) {
    ProbeResult r;
    int bound;
    if (!readEntry(pos, ply, depth, r, bound)) return r;
    bool usable = bound == BOUND_EXACT || (bound == BOUND_UPPER && r.score < beta) ||
                  (bound == BOUND_LOWER && r.score >= beta);
    if (!usable) r.score = NO_SCORE;
    return r;
}

ProbeResult probePv(const Position &pos, int ply, int depth, int alpha, int beta) {
    ProbeResult r;
    int bound;
    if (!readEntry(pos, ply, depth, r, bound)) return r;
    bool usable = bound == BOUND_EXACT || (bound == BOUND_UPPER && r.score <= alpha) ||
                  (bound == BOUND_LOWER && r.score >= beta);
    if (!usable) r.score = NO_SCORE;
    return r;
}

void store(const Position &pos, int ply, int depth, int score, int bound, Move move) {
    if (HashTable.mask == 0 || searchIdle()) return;
    int s = score;
    if (s > MATE_BOUND)
        s += ply;
    else if (s < -MATE_BOUND)
        s -= ply;
    if (pos.fifty > FIFTY_TRUST_LIMIT) {
        s = INFINITE_SCORE;
        bound = BOUND_UPPER;
    }
    HashEntry &e = *entryFor(pos.key);
    if (e.check == 0) ++HashTable.filled;
    e.score = std::int16_t(s);
    e.bound = std::uint8_t(bound);
    int plies = depthPlies(depth);
    e.depth = std::uint8_t(plies > 255 ? 255 : plies);
    e.colour = std::uint8_t(Shared.engineSide);
    e.move = move;
    e.check = checkWord(pos.key, pos.sideToMove, e.score, e.move, e.depth, e.bound);
}

int enhancedCutoff(Position &pos, SearchFrame &frame, int ply, int beta, const std::int16_t *history) {
    frame.depth -= ONE_PLY;
    if (frame.moveCount == NOT_GENERATED) frame.moveCount = GenerateAll(pos, frame.moves, history);
    std::uint32_t childSide = pos.sideToMove ^ 1;
    int childPlies = wholePlies(frame.depth);
    for (int i = 0; i < frame.moveCount; ++i) {
        Move move = entryMove(frame.moves[i]);
        std::uint64_t childKey = KeyAfterMove(pos, move);
        int v = NO_SCORE;
        if (RepetitionCount(pos, childKey, childSide) > 0) {
            v = drawScore(pos, Colour(childSide));
        } else if (HashTable.mask) {
            const HashEntry &e = *entryFor(childKey);
            if (verifies(e, childKey, childSide) && e.depth >= childPlies && pos.fifty <= FIFTY_TRUST_LIMIT &&
                e.colour == Shared.engineSide) {
                int s = fromTable(e.score, ply);
                if (e.bound == BOUND_EXACT || (e.bound == BOUND_UPPER && s <= -beta) ||
                    (e.bound == BOUND_LOWER && s >= 1 - beta))
                    v = s;
            }
        }
        if (v != NO_SCORE && v <= -beta) {
            frame.bestMove = move;
            frame.depth += ONE_PLY;
            return -v;
        }
    }
    frame.depth += ONE_PLY;
    return NO_SCORE;
}

int mainTableFill() {
    if (HashTable.mask == 0) return -1;
    return int(HashTable.filled * 1000 / HashTable.mask);
}

} // namespace search

#include "search/tt.h"

#include "eval/pawns.h"
#include "platform/platform.h"
#include "position/makemove.h"
#include "position/movegen.h"
#include "search/context.h"
#include "search/draw.h"
#include "search/pool.h"
#include "search/pvcache.h"
#include "search/settings.h"
#include "search/thread.h"

#include <cstring>

namespace search {

using namespace position;

HashTableState HashTable{nullptr, 0};

namespace {

std::uint64_t checkWord(std::uint64_t key, std::uint32_t side, int score, Move move, unsigned depth,
                        unsigned bound) {
    return key ^ side ^ std::uint64_t(std::int64_t(score)) ^ move ^ depth ^ bound;
}

// Reads both words of the entry; true when they belong together and to the key.
bool readVerified(const HashEntry &e, std::uint64_t key, std::uint32_t side, HashData &d) {
    std::uint64_t check = e.check.load(std::memory_order_relaxed);
    d = unpackHashData(e.data.load(std::memory_order_relaxed));
    return check == checkWord(key, side, d.score, d.move, d.depth, d.bound);
}

// Zeroes the table in as many parts as there are searching threads.
void zeroTable(int part, int parts) {
    std::uint64_t count = HashTable.mask + 1;
    std::uint64_t begin = count * std::uint64_t(part) / std::uint64_t(parts);
    std::uint64_t end = count * std::uint64_t(part + 1) / std::uint64_t(parts);
    std::memset(static_cast<void *>(HashTable.entries + begin), 0, (end - begin) * sizeof(HashEntry));
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
    HashData e;
    if (!readHashEntry(pos, e)) return false;
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
    HashTable = {nullptr, 0};
    if (Settings.hashMb <= 0) return true;
    std::uint64_t count = std::uint64_t(Settings.hashMb) * ENTRIES_PER_MB;
    HashTable.entries = static_cast<HashEntry *>(platform::allocateLargeTable(count * sizeof(HashEntry)));
    if (!HashTable.entries) return false;
    HashTable.mask = count - 1;
    runInParallel(ThreadCount, zeroTable);
    for (SearchThread *t : Threads)
        if (t) t->tableFills.store(0);
    return true;
}

void clearHash() {
    if (HashTable.mask) runInParallel(ThreadCount, zeroTable);
    for (SearchThread *t : Threads)
        if (t) {
            t->tableFills.store(0);
            eval::clearPawnTable(t->pawns);
            pvCacheClear(t->pvCache);
        }
}

bool readHashEntry(const Position &pos, HashData &out) {
    return HashTable.mask && readVerified(*entryFor(pos.key), pos.key, pos.sideToMove, out);
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

void store(SearchThread &thread, const Position &pos, int ply, int depth, int score, int bound, Move move) {
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
    if (e.check.load(std::memory_order_relaxed) == 0)
        thread.tableFills.store(thread.tableFills.load(std::memory_order_relaxed) + 1,
                                std::memory_order_relaxed);
    int plies = depthPlies(depth);
    HashData d{std::int16_t(s), move, std::uint8_t(Shared.engineSide),
               std::uint8_t(plies > 255 ? 255 : plies), std::uint8_t(bound)};
    e.data.store(packHashData(d), std::memory_order_relaxed);
    e.check.store(checkWord(pos.key, pos.sideToMove, d.score, d.move, d.depth, d.bound),
                  std::memory_order_relaxed);
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
        } else if (HashData e; HashTable.mask && readVerified(*entryFor(childKey), childKey, childSide, e)) {
            if (e.depth >= childPlies && pos.fifty <= FIFTY_TRUST_LIMIT && e.colour == Shared.engineSide) {
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
    std::uint64_t filled = 0;
    for (SearchThread *t : Threads)
        if (t) filled += t->tableFills.load(std::memory_order_relaxed);
    return int(filled * 1000 / HashTable.mask);
}

} // namespace search

#include "eval/pawns.h"

#include "base/prefetch.h"
#include "eval/masks.h"
#include "eval/tables.h"
#include "eval/weights.h"
#include "platform/platform.h"
#include "position/attacks.h"

namespace eval {

using namespace position;

namespace {

// By rank counted from the owner's side (index 0 = rank 1).
constexpr int PassedBase[8] = {0, 10, 10, 30, 50, 80, 120, 0};

// Diagrams, rank 8 first, files a to h.
constexpr std::int8_t WeakPawnPenalty[64] = {
    0,   0,   0,   0,   0,   0,   0,   0,   //
    -12, -14, -16, -18, -18, -16, -14, -12, //
    -11, -13, -15, -17, -17, -15, -13, -11, //
    -10, -12, -14, -16, -16, -14, -12, -10, //
    -9,  -11, -13, -15, -15, -13, -11, -9,  //
    -8,  -10, -12, -14, -14, -12, -10, -8,  //
    -8,  -10, -12, -14, -14, -12, -10, -8,  //
    0,   0,   0,   0,   0,   0,   0,   0,
};
constexpr std::int8_t PhalanxBonus[64] = {
    0, 0, 0,  0,  0,  0, 0, 0, //
    0, 0, 0,  0,  0,  0, 0, 0, //
    3, 6, 12, 15, 12, 6, 3, 0, //
    1, 3, 6,  12, 6,  3, 1, 0, //
    0, 3, 5,  10, 5,  3, 0, 0, //
    0, 0, 3,  6,  3,  0, 0, 0, //
    0, 0, 0,  -5, 0,  0, 0, 0, //
    0, 0, 0,  0,  0,  0, 0, 0,
};
constexpr int DoubledPenalty[9] = {0, 0, -20, -50, -100, -100, -100, -100, -100};
constexpr int WeakCountPenalty[9] = {0, 0, 5, 10, 12, 14, 16, 18, 20};
constexpr int WEAK_DEFENDER_RELIEF = 4;
constexpr int CENTRE_PATTERN = 5;
constexpr int CENTRE_CHAIN_PENALTY = 10;

std::uint64_t checkWord(std::uint64_t key, std::int16_t mid, std::int16_t end) {
    return key ^ std::uint64_t(std::int64_t(std::int16_t(mid ^ end)));
}

int passedSum(const Position &pos, Colour c) {
    int sum = 0;
    for (Bitboard b = pos.evalWork.passedPawns[c]; b;)
        sum += passedPawnTerm(pos, popLowest(b), c);
    return sum;
}

// Doubled and weak pawns of colour c, from c's point of view.
int skeletonScore(const Position &pos, Colour c) {
    Bitboard own = pos.pieces[c][PAWN];
    int s = 0;
    for (int f = 0; f < 8; ++f)
        s += DoubledPenalty[popCount(own & FILE_MASK[f])];
    // Weak: no own pawn on a neighbouring file on the same rank or behind.
    Bitboard supported = c == WHITE ? northFill(sideways(own)) : southFill(sideways(own));
    Bitboard weak = own & ~supported;
    int weakCount = popCount(weak);
    s -= WeakCountPenalty[weakCount > 8 ? 8 : weakCount];
    for (Bitboard b = weak; b;) {
        Square q = popLowest(b);
        s += WeakPawnPenalty[diagramIndex(relativeSquare(c, q))];
        if (PawnAttacksOf(c, squareBit(q)) & own) s += WEAK_DEFENDER_RELIEF;
    }
    return s;
}

// Side-by-side pairs, counted at the pawn nearer the a-file, from c's point of view.
int phalanxScore(const Position &pos, Colour c) {
    Bitboard own = pos.pieces[c][PAWN];
    int s = 0;
    for (Bitboard b = own & ((own & ALL_BUT_A_FILE) << 1); b;)
        s += PhalanxBonus[diagramIndex(relativeSquare(c, popLowest(b)))];
    return s;
}

int centrePatterns(const Position &pos) {
    Bitboard w = pos.pieces[WHITE][PAWN], bl = pos.pieces[BLACK][PAWN];
    auto has = [](Bitboard set, const char *name) { return (set & bit(name)) != 0; };
    int s = 0;
    if (has(w, "e4") && has(w, "d3")) s += CENTRE_PATTERN;
    if (has(bl, "e5") && has(bl, "d6")) s -= CENTRE_PATTERN;
    if (has(w, "d4")) {
        s += CENTRE_PATTERN * (has(w, "c3") + has(w, "e3"));
        if (has(w, "c5") && has(bl, "d5") && has(bl, "c6")) s -= CENTRE_CHAIN_PENALTY;
    }
    if (has(bl, "d5")) {
        s -= CENTRE_PATTERN * (has(bl, "c6") + has(bl, "e6"));
        if (has(bl, "c4") && has(w, "d4") && has(w, "c3")) s += CENTRE_CHAIN_PENALTY;
    }
    return s;
}

} // namespace

int passedPawnTerm(const Position &pos, Square q, Colour c) {
    Square rel = relativeSquare(c, q);
    int b = PassedBase[rankOf(rel)];
    Bitboard front = forwardOne(c, squareBit(q));
    if (!(front & pos.occupied[c]) && (front & pos.occupied[~c])) b = b * 3 / 4;
    if (pos.evalWork.pawnAttacks[c] & (squareBit(q) | front)) b = b * 5 / 4;
    return b;
}

int passedPawnScore(Position &pos) {
    auto &w = pos.evalWork;
    Bitboard wp = pos.pieces[WHITE][PAWN], bp = pos.pieces[BLACK][PAWN];
    w.passedPawns[WHITE] = wp & ~(southFill(bp | w.pawnAttacks[BLACK]) >> 8);
    w.passedPawns[BLACK] = bp & ~(northFill(wp | w.pawnAttacks[WHITE]) << 8);
    return PassedPawnWeight * (passedSum(pos, WHITE) - passedSum(pos, BLACK)) / 64;
}

namespace {

PawnHashEntry *pawnEntryFor(const PawnTable &table, std::uint64_t pawnKey) {
    return table.entries ? &table.entries[pawnKey & (PAWN_HASH_ENTRIES - 1)] : nullptr;
}

} // namespace

void evaluatePawns(Position &pos, PawnTable *table) {
    auto &w = pos.evalWork;
    std::uint64_t key = pos.pawnKey;
    PawnHashEntry *entry = table ? pawnEntryFor(*table, key) : nullptr;
    if (entry && entry->check == checkWord(key, entry->mid, entry->end)) {
        w.pawnMid = entry->mid;
        w.pawnEnd = entry->end;
        return;
    }
    int s = skeletonScore(pos, WHITE) - skeletonScore(pos, BLACK);
    int weighted = s * PawnStructureWeight / 64;
    w.pawnMid = weighted + phalanxScore(pos, WHITE) - phalanxScore(pos, BLACK) + centrePatterns(pos);
    w.pawnEnd = weighted;
    if (entry) {
        if (entry->check == 0) ++table->used;
        entry->mid = std::int16_t(w.pawnMid);
        entry->end = std::int16_t(w.pawnEnd);
        entry->check = checkWord(key, entry->mid, entry->end);
    }
}

void prefetchPawnEntry(const PawnTable &table, std::uint64_t pawnKey) {
    if (PawnHashEntry *entry = pawnEntryFor(table, pawnKey)) base::prefetch(entry);
}

void allocatePawnTable(PawnTable &table) {
    freePawnTable(table);
    table.entries =
        static_cast<PawnHashEntry *>(platform::allocateLargeTable(PAWN_HASH_ENTRIES * sizeof(PawnHashEntry)));
    clearPawnTable(table);
}

void freePawnTable(PawnTable &table) {
    platform::freeLargeTable(table.entries);
    table.entries = nullptr;
    table.used = 0;
}

void clearPawnTable(PawnTable &table) {
    table.used = 0;
    if (!table.entries) return;
    for (std::uint32_t i = 0; i < PAWN_HASH_ENTRIES; ++i)
        table.entries[i] = PawnHashEntry{0, 0, 0};
}

int pawnTableFill(const PawnTable &table) { return int(table.used * 1000ULL / (PAWN_HASH_ENTRIES - 1)); }

} // namespace eval

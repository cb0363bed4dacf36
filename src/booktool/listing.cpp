#include "booktool/listing.h"

#include "book/key.h"
#include "book/select.h"
#include "book/table.h"
#include "booktool/san.h"
#include "position/fen.h"
#include "position/movegen.h"
#include "position/notation.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace booktool {

using namespace position;

namespace {

std::string flagText(std::uint8_t flags) {
    static const char *const NAMES[4] = {"main", "tournament", "avoid", "avoid-in-tournament"};
    std::string text;
    for (int bit = 0; bit < 4; ++bit)
        if (flags & (1 << bit)) {
            if (!text.empty()) text += ',';
            text += NAMES[bit];
        }
    return text.empty() ? "-" : text;
}

} // namespace

void showPosition(const std::vector<book::BookEntry> &entries, const std::string &fen, bool tournament) {
    book::BookTable = entries;
    LoadFen(fen);
    Position pos = GamePosition;
    MoveEntry list[MAX_MOVES];
    int n = GenerateLegal(pos, list);
    book::BookChoice moves[MAX_MOVES];
    int found = 0;
    for (int i = 0; i < n; ++i) {
        const book::BookEntry *e = book::findBookEntry(book::bookKey(pos, entryMove(list[i])));
        moves[i] = e ? book::BookChoice{true, e->score, e->flags, e->weight, 0} : book::BookChoice{};
        found += e != nullptr;
    }
    std::printf("%s\n", fen.c_str());
    if (found == 0) {
        std::printf("no book moves\n");
        return;
    }
    int total = book::bookPercentages(moves, n, tournament);
    std::printf("move   san      weight  score  percent  flags\n");
    for (int i = 0; i < n; ++i) {
        if (!moves[i].found) continue;
        Move m = entryMove(list[i]);
        std::printf("%-6s %-8s %6d %6d %7d%%  %s\n", moveText(m).c_str(), toSan(pos, m).c_str(),
                    moves[i].weight, moves[i].score, std::max(moves[i].percent, 0),
                    flagText(moves[i].flags).c_str());
    }
    if (total == book::ALL_AVOIDED)
        std::printf("every legal move is an avoid move: the engine ignores the book here\n");
    else if (total == 0)
        std::printf("no move is eligible: the engine searches without the avoid moves\n");
    else
        std::printf("percentages add up to %d; the engine draws a number below that\n", total);
}

void showStats(const std::vector<book::BookEntry> &entries) {
    std::unordered_set<std::uint64_t> positions, keys;
    std::size_t flagCount[4] = {0, 0, 0, 0}, zeroWeight = 0, duplicates = 0;
    int lowWeight = 255, highWeight = 0, lowScore = 32767, highScore = -32768;
    for (const book::BookEntry &e : entries) {
        positions.insert(book::positionPart(e.key));
        if (!keys.insert(e.key).second) ++duplicates;
        for (int bit = 0; bit < 4; ++bit)
            flagCount[bit] += (e.flags >> bit) & 1;
        if (e.weight == 0) ++zeroWeight;
        lowWeight = std::min<int>(lowWeight, e.weight);
        highWeight = std::max<int>(highWeight, e.weight);
        lowScore = std::min<int>(lowScore, e.score);
        highScore = std::max<int>(highScore, e.score);
    }
    std::printf("entries: %zu\npositions: %zu\n", entries.size(), positions.size());
    std::printf("main: %zu\ntournament: %zu\navoid: %zu\navoid-in-tournament: %zu\n", flagCount[0],
                flagCount[1], flagCount[2], flagCount[3]);
    if (entries.empty()) return;
    std::printf("weights: %d to %d (%zu entries with weight 0 are never used)\n", lowWeight, highWeight,
                zeroWeight);
    std::printf("scores: %d to %d\n", lowScore, highScore);
    std::printf("repeated keys: %zu (only the first of each is used)\n", duplicates);
}

} // namespace booktool

// Staged move picker of scout nodes: hash move, good captures, killers and threat escapes,
// then everything else; plus the killer and history rules.
#pragma once

#include "position/position.h"
#include "search/frame.h"
#include "search/thread.h"

#include <cstdint>

namespace search {

enum PickerStage : std::int32_t { STAGE_HASH = 0, STAGE_CAPTURES = 1, STAGE_KILLERS = 2, STAGE_QUIET = 3 };

constexpr int HISTORY_LIMIT = 32000;
constexpr int HISTORY_START = 30;
constexpr int HISTORY_BONUS = 6;
// Captures (and promotions) scoring above this after the exchange value are "good".
constexpr int GOOD_CAPTURE_FLOOR = -100;
// Ordering bonuses: an en-passant capture, and a promotion's new piece less this offset.
constexpr int EN_PASSANT_BONUS = 100;
constexpr int PROMOTION_OFFSET = 100;

// Killer score: 8/10 of the pawn value.
int killerScore();
// A move's material order: its exchange value, the en-passant bonus, the promotion's gain.
int exchangeOrderScore(const position::Position &pos, position::Move move);

// Moves the highest-scored entry of moves[from..count) to `from` and returns it.
inline position::MoveEntry selectBest(position::MoveEntry *moves, int from, int count) {
    // The score in the high half and the inverted index in the low half make one key whose
    // maximum is the first of the best-scored entries; a max without branches is cheaper than
    // the mispredicted compares of a plain scan.
    std::int32_t bestKey = INT32_MIN;
    for (int i = from; i < count; ++i) {
        std::int32_t key = std::int32_t(moves[i] & 0xFFFF0000u) | (0xFFFF - i);
        bestKey = key > bestKey ? key : bestKey;
    }
    int best = 0xFFFF - (bestKey & 0xFFFF);
    position::MoveEntry e = moves[best];
    moves[best] = moves[from];
    moves[from] = e;
    return e;
}

// Sets frame.currentMove to the next move and answers 1, or answers 0 when none is left.
int nextMove(SearchThread &thread, position::Position &pos, SearchFrame &frame, const int *futilityMargin);

// A quiet move that caused a cutoff becomes the first killer of its ply.
void updateKillers(SearchThread &thread, const position::Position &pos, position::Move move, int ply);
// The killer rule alone (the caller knows the move is quiet).
void rememberKiller(SearchThread &thread, position::Move move, int ply);

void historySearched(SearchThread &thread, position::Move move); // searched in the quiet stage: -1
void historyCutoff(SearchThread &thread, position::Move move);   // produced a cutoff: +6

// Quiet: to an empty square, not en passant, no promotion.
bool isQuietMove(const position::Position &pos, position::Move move);

} // namespace search

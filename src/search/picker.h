// Staged move picker of scout nodes: hash move, good captures, killers and threat escapes,
// then everything else; plus the killer and history rules.
#pragma once

#include "position/position.h"
#include "search/frame.h"
#include "search/thread.h"

namespace search {

enum PickerStage : std::int32_t { STAGE_HASH = 0, STAGE_CAPTURES = 1, STAGE_KILLERS = 2, STAGE_QUIET = 3 };

constexpr int HISTORY_LIMIT = 32000;
constexpr int HISTORY_START = 30;
constexpr int HISTORY_BONUS = 6;
// Captures (and promotions) scoring above this after the exchange value are "good".
constexpr int GOOD_CAPTURE_FLOOR = -100;

// Killer score: 8/10 of the pawn value.
int killerScore();

// Sets frame.currentMove to the next move and answers 1, or answers 0 when none is left.
int nextMove(int threadIndex, position::Position &pos, SearchFrame &frame, const int *futilityMargin);

// A quiet move that caused a cutoff becomes the first killer of its ply.
void updateKillers(int threadIndex, const position::Position &pos, position::Move move, int ply);
// The killer rule alone (the caller knows the move is quiet).
void rememberKiller(SearchThread &thread, position::Move move, int ply);

void historySearched(position::Move move); // searched in the quiet stage: -1
void historyCutoff(position::Move move);   // produced a cutoff: +6
void resetHistory();

// Quiet: to an empty square, not en passant, no promotion.
bool isQuietMove(const position::Position &pos, position::Move move);

} // namespace search

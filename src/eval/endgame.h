// Endgame knowledge: drawish and known-won material, scalings of drawish endings, the two
// special evaluators and the dead-draw recogniser.
#pragma once

#include "eval/pawns.h"
#include "position/position.h"

#include <cstdint>

namespace eval {

// Closeness[a][b] = 7 - rank distance - file distance.
extern std::int8_t Closeness[64][64];
// Over the king's square, used when all pawns stand on one wing.
constexpr int QUEENSIDE_TABLE = 0, KINGSIDE_TABLE = 1;
extern std::int8_t KingWingPenalty[2][64];
// Bishop-and-knight mate: distance of the defending king from the corners of the bishop's colour.
constexpr int LIGHT_BISHOP = 0, DARK_BISHOP = 1;
extern std::int8_t KbnCorner[2][64];
void buildEndgameTables();

// Rules for drawish or known material; may replace m and set another evaluation mode.
int materialKnowledge(position::Position &pos, int m);

bool rookEndingDraw(const position::Position &pos);
// Endgame corrections of the evaluation: king wings, opposite bishops, rook and queen endings.
int scaleEndgame(const position::Position &pos, int s);

// White's score for positions without pieces / without pawns (after quickEvaluate).
int evaluatePawnEnding(position::Position &pos, PawnTable *pawns);
int evaluatePawnlessEnding(position::Position &pos);

bool pawnlessDraw(const position::Position &pos);
bool kpkDraw(const position::Position &pos);

} // namespace eval

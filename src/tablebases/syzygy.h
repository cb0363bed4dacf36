// Syzygy tables (win/draw/loss and distance-to-zero, 3 to 7 pieces), read through the Fathom
// library: loading from the "SyzygyPath" folders, the search's probe and the ranking of the
// root moves.
#pragma once

#include "position/movegen.h"
#include "position/position.h"
#include "tablebases/syzygy_files.h"

#include <string_view>
#include <vector>

namespace search {
struct SearchThread;
}

namespace tablebases {

// Scores of a table win (minus the ply) and loss: above every evaluation, below the mate range.
constexpr int TABLE_WIN = position::MATE_BOUND - 1000;

struct SyzygyLoad {
    int tables = 0;  // materials with a win/draw/loss file
    int files = 0;   // files in use
    int largest = 0; // most pieces of a table in use
    std::vector<SyzygyProblem> problems;
};

// The "SyzygyPath" handler: forgets the tables in use and loads those of `paths` ("" or
// "<empty>": none). Not during a search.
SyzygyLoad loadSyzygy(std::string_view paths);
// Pieces of the largest table in use, 0 for none.
int syzygyLargest();

// Win/draw/loss of the position, side to move's view: -2 loss, -1 loss saved by the fifty-move
// rule, 0 draw, 1 win spoiled by the fifty-move rule, 2 win. False when no table answers, the
// position has castling rights or was not reached by a capture or pawn move.
bool syzygyWinDrawLoss(const position::Position &pos, int &wdl);
// The search's probe: the table result as a search score at `ply` ("Syzygy50MoveRule" decides
// the cursed wins and blessed losses; draws score as the search scores them).
bool probeWinDrawLoss(const position::Position &pos, int ply, int &score);

// The root moves that keep the best table result, ranked by the distance-to-zero tables with
// the game's fifty-move counter (`repeated`: the position has occurred before). `wdl` as above.
// False when the root is not in the tables.
struct RootTableMoves {
    int count = 0;
    position::Move moves[position::MAX_MOVES];
    int wdl = 0;
};
bool rankRootMoves(const position::Position &pos, bool repeated, RootTableMoves &out);

// Restricts the thread's root to the moves that keep the best result (within a "searchmoves"
// restriction when they meet it). Returns the number of moves kept, 0 when the tables do not
// cover the root.
int restrictRootToTables(search::SearchThread &thread);

} // namespace tablebases

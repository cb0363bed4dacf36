// Setting positions up from FEN text and coordinate move lists.
#pragma once

#include "position/position.h"

#include <string_view>

namespace position {

inline constexpr const char *START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0";

// At most one note per field that can be faulty, and the refusal.
constexpr int MAX_FEN_NOTES = 5;

// What LoadFen found wrong, in the order found: "Invalid Fen: ..." texts. When `refused` is set
// the last note refused the position and the start position was loaded instead.
struct FenNotes {
    const char *notes[MAX_FEN_NOTES] = {};
    int count = 0;
    bool refused = false;
};

// What ApplyMoveList did: all moves played, or stopped at `refused`, the first invalid move as
// read (or as understood, when it was read but is not legal).
struct MoveListResult {
    bool complete = true;
    char refused[8] = {};
};

void ClearPosition(Position &pos);
void PutPiece(Position &pos, Colour c, PieceType type, Square sq);
// Sets GamePosition from FEN text. Never fails: a faulty field is noted and takes a default, a
// faulty board or side or an impossible check loads the start position.
FenNotes LoadFen(std::string_view text);
// Plays a move on GamePosition as a game move. False, with the position unchanged, when the
// move is not legal.
bool PlayGameMove(Move move);
// Plays coordinate moves on GamePosition, stopping at the first invalid one.
MoveListResult ApplyMoveList(std::string_view text);
void PassMove(Position &pos);

} // namespace position

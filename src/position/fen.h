// Setting positions up from FEN text and coordinate move lists.
#pragma once

#include "position/position.h"

#include <string_view>

namespace position {

inline constexpr const char *START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0";

void ClearPosition(Position &pos);
void PutPiece(Position &pos, Colour c, PieceType type, Square sq);
// Sets GamePosition from FEN text. Never fails: faulty fields print an "info string Invalid Fen"
// line and take a default, a faulty board or side or an impossible check loads the start position.
void LoadFen(std::string_view text);
// Plays a move on GamePosition as a game move. False, with the position unchanged, when the
// move is not legal.
bool PlayGameMove(Move move);
// Plays coordinate moves on GamePosition, stopping at the first invalid one, which is reported
// as "info string Invalid Move: ..."; false when that happened.
bool ApplyMoveList(std::string_view text);
void PassMove(Position &pos);

} // namespace position

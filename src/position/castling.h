// Where the castling king and rooks start in this game. Standard chess: the king on e1/e8 and
// the rooks in the corners. A Chess960 start may put them on other files of the back rank; its
// castling moves are written as the king taking its own rook, with CASTLE_FLAG set, since the
// king's target square alone cannot tell them from king moves there (nor e1g1 from a rook's
// move once the king has left). Chess960 games use that form even from the standard start.
#pragma once

#include "position/position.h"

#include <string_view>

namespace position {

struct CastlingLayout {
    Square king[2];          // the king's square while its side may castle
    Square rook[4];          // by right: K, Q, k, q
    std::uint32_t loss[64];  // the rights a move from or to a square takes away
    bool chess960;           // castling moves are flagged (every position set up in Chess960 mode)
};
extern CastlingLayout Castling;

// Chess960 rules for the positions set up from now on ("UCI_Chess960", xboard fischerandom).
extern bool Chess960Mode;

int rightIndex(std::uint32_t rightBit); // CASTLE_K .. CASTLE_q -> 0 .. 3
constexpr bool isKingside(std::uint32_t rightBit) { return rightBit == CASTLE_K || rightBit == CASTLE_k; }

// The standard layout (every start position of standard chess).
void setStandardCastling();
// The rights of a FEN castling field for the pieces of `pos`, read the Chess960 way: "KQkq"
// name the outermost rook on that side of the king (X-FEN), file letters name the rook's file
// (Shredder-FEN, also X-FEN's inner rooks). Sets the layout from the rights found. A right
// whose king or rook is missing is left out and makes the field `corrupt`.
std::uint32_t readChess960Rights(const Position &pos, std::string_view field, bool &corrupt);

// Where king and rook stand after castling with `rightBit`.
Square castledKingSquare(std::uint32_t rightBit);
Square castledRookSquare(std::uint32_t rightBit);
// Chess960 castling with `rightBit` for the side to move: the right is held, every square the
// king and rook cross or land on is empty but for them, and no square of the king's way (its
// own included) is attacked once they have left their squares.
bool castlingAllowed(const Position &pos, std::uint32_t rightBit);
// The flagged move of that castling.
Move castlingMove(std::uint32_t rightBit);
// The position's own form of a castling move given as the king taking its own rook (the UCI
// form in Chess960); every other move as it is.
Move adaptCastlingMove(const Position &pos, Move move);
// The side to move's castling move by name (O-O, O-O-O); NO_MOVE without a layout for it.
Move namedCastlingMove(const Position &pos, bool kingside);
// The right a flagged castling move uses.
std::uint32_t castlingRightOf(Move move);

} // namespace position

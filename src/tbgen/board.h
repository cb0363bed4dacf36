// The generator's own index space for one table, and move and unmove generation on it.
// Slot 0 is the first side's king, slot 1 the second side's, then the first side's pieces
// and the second side's. The first side's pawns move up the board. Positions are kept
// canonical under the board symmetries that never map a position onto itself: the first
// king is brought to files e-h (always) and ranks 1-4 (tables without pawns).
#pragma once

#include "position/types.h"
#include "tablebases/tables.h"

#include <cstdint>

namespace tbgen {

constexpr int MAX_SLOTS = 6;
constexpr unsigned NO_EP = 127;

struct Board {
    unsigned sq[MAX_SLOTS] = {64, 64, 64, 64, 64, 64};
};

struct Space {
    int id = 0;
    int slots = 0;
    position::Colour colour[MAX_SLOTS] = {};
    position::PieceType type[MAX_SLOTS] = {};
    bool pawns = false;
    unsigned radix[MAX_SLOTS] = {};
    std::uint64_t pieceSpace = 1;         // placements of the non-king slots
    std::uint64_t size = 0;               // positions per side to move
    std::uint64_t stride[MAX_SLOTS] = {}; // index step per square of slots 1 and up
    bool enPassant = false;               // both sides have pawns
};

Space makeSpace(const tablebases::TableInfo &t);

// Every index decodes to a canonical board (which may be illegal).
Board decode(const Space &s, std::uint64_t index);
// The index of a board's canonical form; `mask` receives the square transform it applied.
std::uint64_t encode(const Space &s, const Board &b, unsigned *mask = nullptr);

// Distinct squares and the side not to move not in check.
bool isLegal(const Space &s, const Board &b, int sideToMove);
bool inCheck(const Space &s, const Board &b, int side);

// A legal move of the side to move: the board after it, and what it did to the material.
struct Successor {
    Board board;
    int captured = -1; // slot taken off the board
    int promoted = -1; // slot of the pawn that promoted
    position::PieceType promotion = position::NO_PIECE;
    unsigned ep = NO_EP; // the square passed by a double push
    bool leavesTable() const { return captured >= 0 || promoted >= 0; }
};

// Calls visit(const Successor &) for every legal move; `ep` is the en-passant square or NO_EP.
template <typename Visit>
void forEachMove(const Space &s, const Board &b, int side, unsigned ep, Visit &&visit);
// The same, except that the quiet moves of pieces that can move freely (not the king, not
// pinned, no check) are only counted: returns their number.
template <typename Visit>
int countQuietMoves(const Space &s, const Board &b, int side, unsigned ep, Visit &&visit);

// Calls visit(const Board &predecessor, int slot, unsigned passed) for every position, with the
// other side to move, from which a move of `slot` that stays in the table leads to b; `passed`
// is the square a double push crossed (NO_EP otherwise). The caller tests legality.
template <typename Visit> void forEachUnmove(const Space &s, const Board &b, int sideToMove, Visit &&visit);

// Can the side to move take en passant on `passed`, a pawn of the other side having just been
// pushed two squares across it? With requireLegal the capture must not expose the own king.
bool canTakeEnPassant(const Space &s, const Board &b, int side, unsigned passed, bool requireLegal);
// The squares on which the side to move could take such a pawn: up to two, NO_EP padded.
void enPassantCandidates(const Space &s, const Board &b, int side, bool requireLegal, unsigned out[2]);

} // namespace tbgen

#include "tbgen/board_moves.h"

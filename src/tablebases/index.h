// The index of a position in a table: which formula a table uses for each side to move, its
// size, and the index computation itself.
#pragma once

#include "tablebases/groups.h"

#include <cstdint>

namespace tablebases {

// Piece kinds as table names spell them, weakest first.
enum Kind : int { KIND_PAWN, KIND_KNIGHT, KIND_BISHOP, KIND_ROOK, KIND_QUEEN, KIND_COUNT };

// Squares of a normalised position: the kings, the first side's pieces (strongest first) and
// the second side's.
enum Slot : int { WK, BK, W1, W2, W3, B1, B2, SLOT_COUNT };

// A group term of a formula: which pieces it enumerates and from which king.
struct GroupTerm {
    const Group *group = nullptr;
    std::uint8_t pieces[3] = {};
    bool fromSecond = false; // the king pair is counted from the second side's king
    bool flipped = false;    // the lookup mirrors its squares and both kings vertically
};

// One formula of the index: its major group with multiplier, and the en-passant range that
// follows the whole ordinary range (for tables with pawns on both sides).
struct Layout {
    int formula = 0;
    GroupTerm major;
    std::uint64_t multiplier = 1;
    GroupTerm epTerm;
    std::uint64_t epMultiplier = 0; // 0: no en-passant range
    std::uint64_t epBase = 0;
    std::uint64_t size = 0;
};

struct Material {
    int count[2];     // non-king pieces of the first and second side
    Kind kinds[2][3]; // strongest first
    bool pawns;
};

// The layout for the first (side 0) or second (side 1) side to move; formula 0 when the
// table never uses it (the second side of a table whose sides are identical).
Layout buildLayout(const Material &m, int side);

// The index of a position: `first` and `second` are the two sides' square lists in the probe's
// slot order (pawns 0-2, knights 3-5, bishops 6-8, rooks 9-11, queens 12-14, king 15), `ep` the
// en-passant square or 127, `flip` set when the colours were exchanged. NO_INDEX when the
// placement cannot be indexed.
std::uint64_t tableIndex(const Material &m, const Layout &layout, int side, const unsigned *first,
                         const unsigned *second, unsigned ep, bool flip);

} // namespace tablebases

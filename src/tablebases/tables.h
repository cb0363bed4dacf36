// The table list: names, flags and sizes of the 440 tables, the lookup from material to table,
// and where a position's value lives.
#pragma once

#include "tablebases/index.h"

#include <cstdint>
#include <string_view>

namespace tablebases {

constexpr int TABLE_COUNT = 441; // id 0 is a placeholder
constexpr int FIRST_FOUR_PIECE = 6, FIRST_FIVE_PIECE = 36, FIRST_SIX_PIECE = 146;
constexpr int MAX_EXTENTS = 18;

enum : std::uint32_t { TABLE_SYMMETRIC = 1, TABLE_TWO_BYTE = 2, TABLE_SPLIT = 4 };

struct TableInfo {
    int id;
    std::uint32_t flags;
    const char *name;
    Material material;
    Layout layout[2];   // first side to move, second side to move
    std::uint64_t size; // positions per side to move: the larger of the two layouts
    int pieces() const { return 2 + material.count[0] + material.count[1]; }
    int bytesPerValue() const { return flags & TABLE_TWO_BYTE ? 2 : 1; }
    std::uint64_t sideSize(int side) const { return layout[side].size ? layout[side].size : layout[0].size; }
};

extern TableInfo Tables[TABLE_COUNT];

// Builds the list once (names, flags, layouts, sizes); later calls do nothing.
void initTableList();
// The id of a table by its name (lower case, e.g. "kqkr"); 0 when there is none.
int findTable(std::string_view name);
// Signed table id for White's and Black's piece counts by kind: positive when White holds the
// table's first side, negative when the colours are exchanged, 0 when no table has the material.
int lookupMaterial(const int white[KIND_COUNT], const int black[KIND_COUNT]);
// The file side (0 .nbw, 1 .nbb) of a signed id from lookupMaterial with White (0) or Black to move.
int fileSide(int signedId, int sideToMove);
// Files per side to move: one, or for split tables one per 2^31 bytes.
int extentCount(const TableInfo &t, int side);

// Where the value of a position is stored: table, file side (0 .nbw, 1 .nbb) and index.
struct TableSpot {
    int id = 0;
    int side = 0;
    std::uint64_t index = NO_INDEX;
};

// Square lists in slot order (pawns 0-2, knights 3-5, bishops 6-8, rooks 9-11, queens 12-14,
// king 15) with the number of pieces of each kind, for White and Black; `ep` is the en-passant
// square or 127. False when no table covers the material or the placement has no index.
bool locate(const unsigned *white, const unsigned *black, const int *whiteCount, const int *blackCount,
            int sideToMove, unsigned ep, TableSpot &spot);

} // namespace tablebases

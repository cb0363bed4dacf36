#include "tablebases/probe.h"

#include "search/draw.h"
#include "tablebases/cache.h"
#include "tablebases/registry.h"

#include <algorithm>
#include <mutex>

namespace tablebases {

using namespace position;

namespace {

constexpr int MAX_TABLE_PIECES = 6;
constexpr int VALUE_OFFSET = 32640;  // one-byte values v > 0 are wins of 32640 + v
constexpr int LONGEST_PATCH_ID = 36; // kppkp

// kppkp with the second side to move: these entries hold a loss in 127, which the byte cannot.
constexpr std::uint64_t LOST_IN_127[] = {0x362BC7C, 0x362DE44, 0x3637648, 0x3639810,
                                         0x38D4F29, 0x40A2CAB, 0x43C778C};
constexpr int LOST_IN_127_VALUE = -32639;

// Engine piece type to the kind order of table names; kings are handled apart.
constexpr int KIND_OF_TYPE[6] = {-1, KIND_QUEEN, KIND_ROOK, KIND_BISHOP, KIND_KNIGHT, KIND_PAWN};

} // namespace

int valueOfByte(std::int8_t v) {
    if (v == 0) return 0;
    if (v == 127) return NO_VALUE;
    if (v == -127) return -VALUE_OFFSET;
    if (v == -128) return VALUE_OFFSET;
    return v > 0 ? VALUE_OFFSET + v : v - VALUE_OFFSET;
}

int valueOfBytes(std::uint8_t low, std::uint8_t high) { return std::int16_t(std::uint16_t(high << 8 | low)); }

int searchScore(int value, int ply, int draw) {
    if (value == 0) return draw;
    return value > 0 ? 2 * value - 33534 - ply : 2 * value + 33532 + ply;
}

int tableValue(int id, int side, std::uint64_t index) {
    if (id == LONGEST_PATCH_ID && side == 1 &&
        std::find(std::begin(LOST_IN_127), std::end(LOST_IN_127), index) != std::end(LOST_IN_127))
        return LOST_IN_127_VALUE;
    if (Tables[id].flags & TABLE_TWO_BYTE) {
        std::uint8_t low, high;
        if (!readTableByte(id, side, 2 * index, low) || !readTableByte(id, side, 2 * index + 1, high))
            return NO_VALUE;
        return valueOfBytes(low, high);
    }
    std::uint8_t byte;
    return readTableByte(id, side, index, byte) ? valueOfByte(std::int8_t(byte)) : NO_VALUE;
}

namespace {

// Square lists and piece counts as the index functions take them; false beyond three of a kind.
bool pieceLists(const Position &pos, unsigned lists[2][16], int counts[2][KIND_COUNT]) {
    for (int c = 0; c < 2; ++c) {
        lists[c][15] = pos.kingSquare[c];
        for (PieceType type : {QUEEN, ROOK, BISHOP, KNIGHT, PAWN}) {
            int k = KIND_OF_TYPE[type];
            for (Bitboard b = pos.pieces[c][type]; b;) {
                if (counts[c][k] == 3) return false;
                lists[c][3 * k + counts[c][k]++] = popLowest(b);
            }
        }
    }
    return true;
}

unsigned epOf(const Position &pos) { return pos.epSquare < 64 ? pos.epSquare : 127; }

} // namespace

bool positionSpot(const Position &pos, TableSpot &spot) {
    unsigned lists[2][16];
    int counts[2][KIND_COUNT] = {};
    if (popCount(pos.all()) > MAX_TABLE_PIECES || !pieceLists(pos, lists, counts)) return false;
    return locate(lists[0], lists[1], counts[0], counts[1], int(pos.sideToMove), epOf(pos), spot);
}

bool ProbeTablebase(const Position &pos, int ply, int &score) {
    if (NoTablesRegistered || popCount(pos.all()) > MAX_TABLE_PIECES) return false;
    // Every searching thread probes: one at a time through the block cache and the open files
    // (never destroyed, as a helper may still probe while the program ends).
    static std::mutex &ProbeLock = *new std::mutex;
    std::lock_guard<std::mutex> lock(ProbeLock);
    unsigned lists[2][16];
    int counts[2][KIND_COUNT] = {};
    if (!pieceLists(pos, lists, counts)) return false;
    // 1. A registered table for this material and side to move, before any index work.
    int id = lookupMaterial(counts[0], counts[1]);
    if (id == 0 || !Registered[id < 0 ? -id : id][fileSide(id, int(pos.sideToMove))].any) return false;
    // 2. The value at the position's index.
    TableSpot spot;
    if (!locate(lists[0], lists[1], counts[0], counts[1], int(pos.sideToMove), epOf(pos), spot)) return false;
    int value = tableValue(spot.id, spot.side, spot.index);
    if (value == NO_VALUE) return false;
    score = searchScore(value, ply, search::drawScore(pos));
    return true;
}

} // namespace tablebases

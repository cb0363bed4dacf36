// The building blocks of the table index: king-pair numbers and the enumeration of one to
// three pieces relative to a king pair ("groups"), with their per-pair offsets.
#pragma once

#include <cstdint>

namespace tablebases {

// Kinds of a group's pieces. P0 is a pawn of the side that is not the group's own.
enum GroupKind : std::uint8_t { GK_P0, GK_P, GK_N, GK_B, GK_R, GK_Q, GK_COUNT };

constexpr int TRI_PAIRS = 462;   // king pairs of tables without pawns
constexpr int HALF_PAIRS = 1806; // king pairs of tables with pawns
constexpr std::uint64_t NO_INDEX = ~std::uint64_t(0);

// King-pair numbers, -1 where the pair is not in the table: [first king][second king].
extern std::int16_t TriPair[64][64];
extern std::int16_t HalfPair[64][64];

struct Group {
    int count;           // 0 to 3 pieces; 0 is the bare king pair
    GroupKind kinds[3];  // strongest first
    bool half;           // king pairs of tables with pawns
    std::uint64_t total; // the group's range over all king pairs
    std::uint64_t offset[HALF_PAIRS];
};

// Builds the king-pair and legal-square tables; call before findGroup.
void initGroups();
// The group of these kinds (strongest first), built on first use.
const Group *findGroup(const GroupKind *kinds, int count, bool half);
// The group's number for a placement; k1 is the king the pairs are counted from.
std::uint64_t groupIndex(const Group &g, unsigned k1, unsigned k2, const unsigned *squares);

// s minus the number of the other squares below it: its rank once they are skipped.
template <typename... Others> constexpr std::int64_t skip(unsigned s, Others... others) {
    return std::int64_t(s) - (0 + ... + (others < s ? 1 : 0));
}
constexpr std::int64_t choose2(std::int64_t n) { return n * (n - 1) / 2; }
constexpr std::int64_t choose3(std::int64_t n) { return n * (n - 1) * (n - 2) / 6; }

} // namespace tablebases

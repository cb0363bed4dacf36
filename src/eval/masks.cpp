#include "eval/masks.h"

#include "position/attacks.h"

namespace eval {

using namespace position;

Bitboard KingZone[2][64];
Bitboard BishopBlockers[2][64];

namespace {

struct BlockerPattern {
    const char *bishop;
    Bitboard pawns;
};

// For a White bishop: the own-pawn squares that shut it in.
constexpr BlockerPattern WHITE_BLOCKERS[] = {
    {"h1", squares({"f3"})},       {"g1", squares({"f2", "e3"})}, {"f1", squares({"e2", "d3"})},
    {"c1", squares({"d2", "e3"})}, {"b1", squares({"c2", "d3"})}, {"a1", squares({"c3"})},
    {"h2", squares({"g3", "f4"})}, {"g2", squares({"f3"})},       {"e2", squares({"d3", "c4"})},
    {"d2", squares({"e3", "f4"})}, {"b2", squares({"c3"})},       {"a2", squares({"b3", "c4"})},
    {"g3", squares({"f4"})},       {"f3", squares({"e4"})},       {"e3", squares({"f4", "d4"})},
    {"d3", squares({"e4", "c4"})}, {"c3", squares({"d4"})},       {"b3", squares({"c4"})},
    {"h4", squares({"g3"})},       {"a4", squares({"b3"})},
};

Bitboard plainZone(Colour c, Square k) {
    Bitboard zone = squareBit(k) | KingAttacks[k];
    Bitboard ahead = c == WHITE ? (squareBit(k) << 16) : (squareBit(k) >> 16);
    return zone | ahead | sideways(ahead);
}

} // namespace

void buildEvaluationMasks() {
    for (int c = 0; c < 2; ++c) {
        // A king in its own back-rank corner is guarded as if it stood beside the corner.
        Square h = c == WHITE ? sq("h1") : sq("h8"), a = c == WHITE ? sq("a1") : sq("a8");
        for (Square k = 0; k < 64; ++k)
            KingZone[c][k] = plainZone(Colour(c), k == h ? h + 1 : k == a ? a - 1 : k);
    }
    for (auto &row : BishopBlockers)
        for (auto &b : row)
            b = 0;
    for (const auto &p : WHITE_BLOCKERS) {
        BishopBlockers[WHITE][sq(p.bishop)] = p.pawns;
        BishopBlockers[BLACK][sq(p.bishop) ^ 56] = flipVertical(p.pawns);
    }
}

} // namespace eval

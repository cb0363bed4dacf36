#include "eval/king.h"

#include "eval/masks.h"
#include "eval/tables.h"
#include "eval/weights.h"
#include "position/attacks.h"

namespace eval {

using namespace position;

namespace {

constexpr int AttackerOffset[14] = {0, 6, 12, 18, 24, 32, 48, 52, 56, 60, 64, 66, 68, 70}; // 70 from 13 on
constexpr int OpenFileOffset[4] = {0, 2, 4, 8};                                            // 8 from 3 on
constexpr int KingDangerTable[256] = {
    0,   1,   1,   2,   2,   3,   3,   4,   4,   5,   6,   7,   8,   9,   10,  11,  //
    11,  12,  12,  13,  13,  14,  14,  15,  16,  17,  18,  19,  20,  22,  24,  26,  //
    28,  30,  32,  34,  36,  39,  42,  45,  48,  52,  56,  60,  64,  68,  72,  75,  //
    78,  81,  84,  86,  88,  90,  92,  93,  94,  95,  96,  97,  98,  99,  100, 101, //
    102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, //
    118, 119, 120, 121, 122, 123, 124, 125, 128, 129, 130, 131, 132, 133, 134, 135, //
    135, 136, 136, 137, 137, 138, 138, 139, 139, 140, 140, 141, 141, 141, 142, 142, //
    142, 143, 143, 143, 144, 144, 144, 145, 145, 145, 146, 146, 146, 147, 147, 147, //
    148, 148, 148, 148, 149, 149, 149, 149, 150, 150, 150, 150, 150, 150, 150, 150, //
    150, 151, 151, 151, 151, 151, 151, 151, 151, 151, 151, 152, 152, 152, 152, 152, //
    153, 153, 153, 153, 153, 154, 154, 154, 154, 154, 154, 154, 154, 154, 154, 155, //
    155, 155, 155, 155, 155, 155, 155, 155, 155, 156, 156, 156, 156, 156, 156, 156, //
    156, 156, 156, 157, 157, 157, 157, 157, 157, 157, 157, 157, 157, 158, 158, 158, //
    158, 158, 158, 158, 158, 158, 158, 159, 159, 159, 159, 159, 159, 159, 159, 159, //
    159, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, //
    160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, 160, //
};
constexpr int CONTACT_CHECK_WEIGHT = 10;
constexpr int KING_SAFETY_SCALE = 90; // percent

// Shelter, stated for a White king on the kingside; the other cases are mirrored.
constexpr int TRAPPED_ROOK = -24;
constexpr int PAWN_RANK_2 = 20, PAWN_RANK_3 = 15;
constexpr int ENEMY_RANK_3 = -8, ENEMY_RANK_4 = -4, ENEMY_RANK_5 = -2;
constexpr int NO_ENEMY_PAWN_ON_FILE = -12;
constexpr int MISSING_PAWN[3] = {-8, -15, -15}; // f, g, h
constexpr int FIANCHETTO_HOLE = -5, FIANCHETTO_KING = 15;

// a-file <-> h-file.
constexpr Bitboard mirrorFiles(Bitboard b) {
    Bitboard r = 0;
    for (int f = 0; f < 8; ++f)
        r |= ((b & FILE_MASK[f]) >> f) << (7 - f);
    return r;
}

// The shelter squares of one colour on one wing.
struct ShelterMasks {
    Bitboard king, trapKing, trapRook, rank2, rank3, rank4, rank5, files[3], f2, g2, g3, h2, h3;
};

constexpr ShelterMasks shelterMasks(Colour c, bool queenside) {
    auto m = [c, queenside](Bitboard whiteKingside) {
        return forColour(c, queenside ? mirrorFiles(whiteKingside) : whiteKingside);
    };
    return {m(squares({"f1", "g1", "h1", "f2", "g2", "h2"})),
            m(squares({"f1", "g1"})),
            m(squares({"h1", "g1", "h2"})),
            m(squares({"f2", "g2", "h2"})),
            m(squares({"f3", "g3", "h3"})),
            m(squares({"f4", "g4", "h4"})),
            m(squares({"f5", "g5", "h5"})),
            {m(FILE_MASK[2]), m(FILE_MASK[1]), m(FILE_MASK[0])},
            m(bit("f2")),
            m(bit("g2")),
            m(bit("g3")),
            m(bit("h2")),
            m(bit("h3"))};
}

// [colour][kingside 0, queenside 1]
constexpr ShelterMasks SHELTER[2][2] = {{shelterMasks(WHITE, false), shelterMasks(WHITE, true)},
                                        {shelterMasks(BLACK, false), shelterMasks(BLACK, true)}};

int count(Bitboard set, Bitboard mask) { return popCount(set & mask); }

} // namespace

int kingDanger(int index) { return KingDangerTable[index < 0 ? 0 : index > 255 ? 255 : index]; }

int kingShelter(Position &pos, Colour c) {
    Bitboard king = squareBit(pos.kingSquare[c]);
    const ShelterMasks *wing = &SHELTER[c][0];
    if (!(king & wing->king)) {
        wing = &SHELTER[c][1];
        if (!(king & wing->king)) return 0;
    }
    Bitboard own = pos.pieces[c][PAWN], enemy = pos.pieces[~c][PAWN];
    // 1. A rook shut in by its uncastled king.
    if ((king & wing->trapKing) && (pos.pieces[c][ROOK] & wing->trapRook))
        pos.evalWork.patternPenalty[c] += TRAPPED_ROOK;
    // 2. Pawns in front of the king, own and storming.
    int v = PAWN_RANK_2 * count(own, wing->rank2) + PAWN_RANK_3 * count(own, wing->rank3) +
            ENEMY_RANK_3 * count(enemy, wing->rank3) + ENEMY_RANK_4 * count(enemy, wing->rank4) +
            ENEMY_RANK_5 * count(enemy, wing->rank5);
    // 3. Files.
    for (int i = 0; i < 3; ++i) {
        if (!(enemy & wing->files[i] & ~pos.evalWork.pawnAttacks[c])) v += NO_ENEMY_PAWN_ON_FILE;
        if (!(own & wing->files[i])) v += MISSING_PAWN[i];
    }
    // 4. Fianchetto.
    if ((own & wing->f2) && (own & wing->g3)) {
        Bitboard bishops = pos.pieces[c][BISHOP];
        if (!(bishops & wing->g2)) v += FIANCHETTO_HOLE;
        if ((king & wing->h2) && (bishops & wing->g2) && (own & wing->h3)) v += FIANCHETTO_KING;
    }
    return v;
}

int evaluateKingSafety(Position &pos) {
    auto &w = pos.evalWork;
    Bitboard attacked[2], undefended[2];
    for (int c = 0; c < 2; ++c) {
        attacked[c] = w.queenAttacks[c] | w.rookLineAttacks[c] | w.minorAttacks[c] | w.pawnAttacks[c];
        undefended[c] = ~attacked[c];
    }
    int danger[2], contact[2]; // indexed by the colour of the king in danger
    for (Colour d : {WHITE, BLACK}) {
        Colour a = ~d; // attacker
        Square k = pos.kingSquare[d];
        Bitboard zone = KingZone[d][k];
        // 1. Units from the zone itself.
        int units = w.kingAttackUnits[a] + popCount(w.pawnAttacks[a] & zone) +
                    3 * popCount(zone & ~pos.pieces[d][PAWN] & ~w.pawnAttacks[d]) +
                    2 * popCount(zone & undefended[d] & attacked[a]);
        // 2. Safe checks.
        Bitboard rookChecks = RookAttacks(k, w.allPieces) & undefended[d];
        Bitboard bishopChecks = BishopAttacks(k, w.allPieces) & undefended[d];
        Bitboard knightChecks = KnightAttacks[k] & undefended[d];
        units += 3 * popCount(w.queenAttacks[a] & rookChecks) +
                 3 * popCount(w.queenAttacks[a] & bishopChecks) +
                 2 * popCount(w.rookAttacks[a] & rookChecks) + popCount(w.bishopAttacks[a] & bishopChecks) +
                 popCount(w.knightAttacks[a] & knightChecks);
        // 3. Open files.
        units += OpenFileOffset[w.openFileUnits[a] < 3 ? w.openFileUnits[a] : 3];
        // 4. Danger and queen contact checks.
        int attackers = w.kingAttackers[a] < 13 ? w.kingAttackers[a] : 13;
        danger[d] = kingDanger(AttackerOffset[attackers] + units);
        Bitboard support = w.rookLineAttacks[a] | w.minorAttacks[a] | w.pawnAttacks[a];
        contact[d] = popCount(KingAttacks[k] & undefended[d] & w.queenAttacks[a] & support);
    }
    // 5. Shelter (midgame).
    w.midScore += kingShelter(pos, WHITE) - kingShelter(pos, BLACK);
    // 6. Danger weighted per side: the king of the side to move and its opponent weigh differently.
    int white = KingDangerWeight[WHITE] * (danger[WHITE] + CONTACT_CHECK_WEIGHT * contact[WHITE]) / 64;
    int black = KingDangerWeight[BLACK] * (danger[BLACK] + CONTACT_CHECK_WEIGHT * contact[BLACK]) / 64;
    return (black - white) * KING_SAFETY_SCALE / 100;
}

} // namespace eval

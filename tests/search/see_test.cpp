#include "helpers.h"

#include "search/see.h"

#include <gtest/gtest.h>

using namespace position;
using searchtest::fromFen;
using searchtest::mv;

namespace {

int seeOf(const char *fen, const char *move) {
    Position pos = fromFen(fen);
    return search::see(pos, mv(move));
}

} // namespace

TEST(See, ExchangesOnTheBoard) {
    searchtest::init();
    struct Case {
        const char *fen, *move;
        int see;
    } cases[] = {
        {"4k3/8/8/3q4/8/4N3/8/4K3 w - - 0 1", "e3d5", 975},
        {"4k3/8/2p5/8/8/4N3/8/4K3 w - - 0 1", "e3d5", -325},
        {"4k3/8/2p5/3p4/8/8/8/3QK3 w - - 0 1", "d1d5", 100 - 975},
        // Black to move: the same exchange seen from the other side.
        {"4k3/8/8/8/3Q4/4P3/8/4K3 b - - 0 1", "e8e7", 0},
        {"3qk3/8/8/8/3N4/8/8/4K3 b - - 0 1", "d8d4", 325},
        // Doubled rooks win the defended pawn; a single rook loses the exchange.
        {"4k3/3r4/8/3p4/8/8/3R4/3RK3 w - - 0 1", "d2d5", 100},
        {"4k3/3r4/8/3p4/8/8/3R4/4K3 w - - 0 1", "d2d5", -400},
        // A bishop behind the capturing pawn keeps the rook from recapturing.
        {"3rk3/8/8/3n4/4P3/5B2/8/4K3 w - - 0 1", "e4d5", 325},
        {"3rk3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", "e4d5", 225},
        // A queen behind a bishop on the diagonal. The recaptured bishop counts as a minor piece
        // (valued as a knight), hence 490 rather than 500.
        {"4k3/8/2b5/3r4/4B3/5Q2/8/4K3 w - - 0 1", "e4d5", 490},
        {"4k3/8/2b5/3r4/4B3/8/8/4K3 w - - 0 1", "e4d5", 165},
        // The pawn taken en passant no longer blocks the d-file: the rook on d1 guards d6.
        {"3qk3/8/8/3pP3/8/8/8/3RK3 w - d6 0 1", "e5d6", 0},
        {"3qk3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", -100},
        // A pawn push onto a square the opponent's pawn guards, supported by a knight; a knight
        // going there is not supported by the pawn that could push, nor by the rook behind it.
        {"4k3/8/8/3p4/8/4P3/5N2/4K3 w - - 0 1", "e3e4", 0},
        {"4k3/8/8/3p4/8/8/4P3/4K3 w - - 0 1", "e2e4", -100},
        {"4k3/8/8/3p4/8/4P3/5N2/4RK2 w - - 0 1", "f2e4", -325},
        // Promotions: the victim is the empty square (the promoted piece is the picker's
        // business); capturing onto the last rank: rook victim, then the pawn is lost to the king.
        {"8/4P3/8/8/8/8/8/K6k w - - 0 1", "e7e8q", 0},
        {"1r6/4P3/8/8/8/8/8/K6k w - - 0 1", "e7e8q", -100},
        {"3rk3/4P3/8/8/8/8/8/K7 w - - 0 1", "e7d8q", 400},
    };
    for (const Case &c : cases)
        EXPECT_EQ(seeOf(c.fen, c.move), c.see) << c.fen << " " << c.move;
}

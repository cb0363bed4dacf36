// Piece terms, shelter and king safety of the full evaluation.
#include "eval_support.h"

#include "eval/king.h"
#include "eval/masks.h"
#include "eval/pieces.h"

#include <map>
#include <vector>

using namespace position;
using namespace evaltest;

namespace {

class PiecesTest : public EvalTest {};

Position fullyEvaluated(const std::string &fen) {
    Position pos = fromFen(fen);
    eval::quickEvaluate(pos);
    EXPECT_EQ(pos.evalWork.evalMode, base::EvalNormal) << fen;
    eval::fullEvaluate(pos);
    return pos;
}

// Terms the full evaluation leaves in its working fields (tests/data/piece_terms.epd).
TEST_F(PiecesTest, PieceTerms) {
    using S = base::EvalScratch;
    const std::map<std::string, std::int32_t(S::*)[2]> fields = {
        {"outpost", &S::outpostScore},     {"pattern", &S::patternPenalty},  {"bonus", &S::pieceBonus},
        {"attackers", &S::kingAttackers},  {"units", &S::kingAttackUnits},   {"open-file", &S::openFileUnits},
        {"mobility-mid", &S::mobilityMid}, {"mobility-end", &S::mobilityEnd}};
    auto records = testsupport::readDataFile("piece_terms.epd");
    ASSERT_EQ(records.size(), 36u);
    for (const auto &r : records) {
        ASSERT_EQ(r.fields.size(), 3u) << r.fen;
        Position pos = fullyEvaluated(r.fen);
        EXPECT_EQ((pos.evalWork.*fields.at(r.fields[0]))[r.fields[1] == "white" ? WHITE : BLACK],
                  std::stoi(r.fields[2]))
            << r.fen << " " << r.fields[0] << " " << r.fields[1];
    }
    // Threats, largest first: two minors forked by a pawn, a rook, a minor attacked by a pawn, by a
    // knight, by a rook; nothing attacked. The mirrored position gives Black the same.
    const char *threats[] = {
        "r3k3/p7/8/2n1b3/3P4/8/P7/R3K3 w - - 0 1", "r3k3/p7/8/2r5/3P4/8/P7/R3K3 w - - 0 1",
        "r3k3/p7/8/2n5/3P4/8/P7/R3K3 w - - 0 1",   "r3k3/p7/8/2n5/8/3N4/P7/R3K3 w - - 0 1",
        "r3k3/p7/8/2n5/8/8/P7/R1R1K3 w - - 0 1",   "r3k3/p7/8/2n5/8/8/P7/R2RK3 w - - 0 1",
    };
    int previous = 1000;
    for (const char *fen : threats) {
        int threat = eval::pieceAttacks(fullyEvaluated(fen), WHITE);
        EXPECT_LT(threat, previous) << fen;
        EXPECT_EQ(eval::pieceAttacks(fullyEvaluated(mirrorFen(fen)), BLACK), threat) << fen;
        previous = threat;
    }
    EXPECT_EQ(previous, 0);
}

// Shelter of White's king, and of Black's in the mirrored position.
int shelter(const std::string &board) {
    Position pos = fromFen(board + " w - - 0 1"), mirror = fromFen(mirrorFen(board + " w - - 0 1"));
    eval::quickEvaluate(pos);
    eval::quickEvaluate(mirror);
    int white = eval::kingShelter(pos, WHITE);
    EXPECT_EQ(eval::kingShelter(mirror, BLACK), white) << board;
    return white;
}

TEST_F(PiecesTest, KingShelter) {
    // Each list from better shelter to worse.
    const std::string home = "6k1/5ppp/8/8/8/8/5PPP/6K1";
    const std::vector<std::vector<std::string>> orders = {
        // Pawns shelter best at home, advanced ones still better than none; the f-pawn matters least.
        {home, "6k1/5ppp/8/8/8/7P/5PP1/6K1", "6k1/5ppp/8/8/8/8/6PP/6K1", "6k1/5ppp/8/8/8/8/5PP1/6K1"},
        // Files without enemy pawns lie open.
        {home, "6k1/8/8/8/8/8/5PPP/6K1"},
        // Storming pawns hurt the more, the closer they come; still, they close the file, unless
        // the shield pawns can take them.
        {home, "6k1/5pp1/8/7p/8/8/5PPP/6K1", "6k1/5pp1/8/8/7p/8/5PPP/6K1", "6k1/5pp1/8/8/8/8/5PPP/6K1",
         "6k1/5pp1/8/8/8/7p/5PPP/6K1"},
        // A fianchetto wants its bishop; the king tucked in on h2 behind it.
        {"6k1/5ppp/8/8/8/6P1/5PBP/6K1", "6k1/5ppp/8/8/8/6P1/5P1P/6K1"},
        {"6k1/5ppp/8/8/8/6PP/5PBK/8", "6k1/5ppp/8/8/8/6PP/5PB1/6K1"},
    };
    for (const auto &order : orders)
        for (std::size_t i = 1; i < order.size(); ++i)
            EXPECT_GT(shelter(order[i - 1]), shelter(order[i])) << order[i - 1] << " / " << order[i];
    // The queenside mirrors the kingside; a king in the centre has no shelter.
    EXPECT_EQ(shelter("1k6/ppp5/8/8/8/8/PPP5/1K6"), shelter(home));
    EXPECT_EQ(shelter("4k3/5ppp/8/8/8/8/3PPP2/4K3"), 0);
}

Bitboard at(std::initializer_list<const char *> names) {
    Bitboard b = 0;
    for (const char *n : names)
        b |= squareBit(textToSquare(n[0], n[1]));
    return b;
}

TEST_F(PiecesTest, KingZoneShiftsOnlyFromTheOwnCorners) {
    struct Case {
        Colour c;
        const char *king;
        Bitboard zone;
    };
    const Case cases[] = {
        {WHITE, "e1", at({"d1", "e1", "f1", "d2", "e2", "f2", "d3", "e3", "f3"})},
        {WHITE, "h1", at({"f1", "g1", "h1", "f2", "g2", "h2", "f3", "g3", "h3"})},
        {WHITE, "a1", at({"a1", "b1", "c1", "a2", "b2", "c2", "a3", "b3", "c3"})},
        {WHITE, "h2", at({"g1", "h1", "g2", "h2", "g3", "h3", "g4", "h4"})},
        {WHITE, "h8", at({"g8", "h8", "g7", "h7"})},
        {BLACK, "h8", at({"f8", "g8", "h8", "f7", "g7", "h7", "f6", "g6", "h6"})},
        {BLACK, "a7", at({"a8", "b8", "a7", "b7", "a6", "b6", "a5", "b5"})},
        {BLACK, "a1", at({"a1", "b1", "a2", "b2"})},
    };
    for (const Case &k : cases)
        EXPECT_EQ(eval::KingZone[k.c][textToSquare(k.king[0], k.king[1])], k.zone) << k.c << " " << k.king;
}

TEST_F(PiecesTest, KingSafetyGrowsWithTheAttack) {
    // Bare kings on e1 and e8, attack maps set by hand one kind of pressure at a time: White's
    // against e8 and, mirrored, Black's against e1.
    for (Colour a : {WHITE, BLACK}) {
        Position pos = fromFen("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
        auto &w = pos.evalWork;
        w.allPieces = pos.all();
        auto on = [a](std::initializer_list<const char *> names) { return eval::forColour(a, at(names)); };
        int last = eval::evaluateKingSafety(pos);
        EXPECT_EQ(last, 0);
        auto expectChange = [&](int direction, const char *what) {
            int now = (a == WHITE ? 1 : -1) * eval::evaluateKingSafety(pos);
            EXPECT_GT(direction * (now - last), 0) << what << ", attacker " << a;
            last = now;
        };
        w.queenAttacks[a] = on({"d7", "e7", "f7", "e6"});
        expectChange(1, "queen at the king");
        w.rookLineAttacks[a] = on({"e7"});
        expectChange(1, "contact check backed by a rook");
        w.rookAttacks[a] = on({"e2", "e3", "e4", "e5", "e6", "e7"});
        expectChange(1, "rook checks");
        w.kingAttackers[a] = 2;
        expectChange(1, "attackers");
        w.kingAttackUnits[a] = 5;
        expectChange(1, "attack units");
        w.openFileUnits[a] = 1;
        expectChange(1, "open file");
        w.minorAttacks[~a] = on({"d7", "e7"});
        expectChange(-1, "defending minors");
    }
}

TEST_F(PiecesTest, KingSafetyOnABoard) {
    // The danger table never falls and is clamped at both ends.
    for (int i = 1; i < 256; ++i)
        EXPECT_GE(eval::kingDanger(i), eval::kingDanger(i - 1));
    EXPECT_EQ(eval::kingDanger(-3), eval::kingDanger(0));
    EXPECT_EQ(eval::kingDanger(1000), eval::kingDanger(255));

    // A queen and rook bearing down on the castled Black king. The personality weights of the
    // danger are tested in material_test.cpp.
    Position pos = fullyEvaluated("r4rk1/ppp2ppp/8/8/8/5Q2/PPP2PPP/4R1K1 w - - 0 1");
    EXPECT_GT(pos.evalWork.kingAttackUnits[WHITE], pos.evalWork.kingAttackUnits[BLACK]);
    EXPECT_GT(eval::evaluateKingSafety(pos), 0);
}

} // namespace

// Piece terms, shelter and king safety of the full evaluation.
#include "eval_support.h"

#include "eval/king.h"
#include "eval/masks.h"
#include "eval/pieces.h"
#include "eval/weights.h"

#include <map>

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
    ASSERT_EQ(records.size(), 34u);
    for (const auto &r : records) {
        ASSERT_EQ(r.fields.size(), 3u) << r.fen;
        Position pos = fullyEvaluated(r.fen);
        EXPECT_EQ((pos.evalWork.*fields.at(r.fields[0]))[r.fields[1] == "white" ? WHITE : BLACK],
                  std::stoi(r.fields[2]))
            << r.fen << " " << r.fields[0] << " " << r.fields[1];
    }
    // Threats: d4 forks two minors (2 x 10); the c5 knight attacks the d3 rook (10); a rook line
    // on a minor (3) and on a rook (5).
    Position pos = fullyEvaluated("4k3/8/8/2n1b3/3P4/3R4/8/4K3 w - - 0 1");
    EXPECT_EQ(eval::pieceAttacks(pos, WHITE), 20);
    EXPECT_EQ(eval::pieceAttacks(pos, BLACK), 10);
    EXPECT_EQ(eval::pieceAttacks(fullyEvaluated("4k3/p7/8/8/8/8/1P6/rR1nK3 w - - 0 1"), WHITE), 3 + 5);
}

TEST_F(PiecesTest, KingShelter) {
    // Three pawns at home; the enemy pawns on the same files are not counted against it.
    Position pos = fullyEvaluated("6k1/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1");
    EXPECT_EQ(eval::kingShelter(pos, WHITE), 60);
    EXPECT_EQ(eval::kingShelter(pos, BLACK), 60);
    // Without enemy pawns on the wing: -12 per file.
    pos = fullyEvaluated("4k3/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1");
    EXPECT_EQ(eval::kingShelter(pos, WHITE), 60);
    pos = fullyEvaluated("6k1/8/8/8/8/8/5PPP/6K1 w - - 0 1");
    EXPECT_EQ(eval::kingShelter(pos, WHITE), 60 - 36);
    // Fianchetto with the king on h2, a Black pawn on h5: 20 + 30 - 2 - 24 + 15.
    pos = fullyEvaluated("6k1/8/8/7p/8/6PP/5PBK/8 w - - 0 1");
    EXPECT_EQ(eval::kingShelter(pos, WHITE), 20 + 30 - 2 - 24 + 15);
    // Fianchetto without the bishop; missing h-pawn.
    pos = fullyEvaluated("6k1/8/8/8/8/6P1/5P2/6K1 w - - 0 1");
    EXPECT_EQ(eval::kingShelter(pos, WHITE), 20 + 15 - 36 - 15 - 5);
    // Queenside king, rook shut in on a1.
    pos = fullyEvaluated("4k3/8/8/8/8/8/PPP5/RK6 w - - 0 1");
    pos.evalWork.patternPenalty[WHITE] = 0;
    EXPECT_EQ(eval::kingShelter(pos, WHITE), 60 - 36);
    EXPECT_EQ(pos.evalWork.patternPenalty[WHITE], -24);
    // A king in the centre has no shelter.
    EXPECT_EQ(eval::kingShelter(pos, BLACK), 0);
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

TEST_F(PiecesTest, KingSafetyFromGivenAttackMaps) {
    // Bare kings on e1 and e8 with hand-set attack maps; each empty zone of 9 squares gives 27
    // units, KingDangerTable[27] = 19.
    Position pos = fromFen("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    pos.evalWork = base::EvalScratch{};
    pos.evalWork.allPieces = pos.all();
    EXPECT_EQ(eval::evaluateKingSafety(pos), 0);

    auto &w = pos.evalWork;
    w.queenAttacks[WHITE] = at({"d7", "e7", "f7", "e6"});
    w.rookLineAttacks[WHITE] = at({"e7"});
    w.rookAttacks[WHITE] = at({"e2", "e3", "e4", "e5", "e6", "e7"});
    w.kingAttackers[WHITE] = 2;
    w.kingAttackUnits[WHITE] = 5;
    w.openFileUnits[WHITE] = 1;
    // Units: 5 + 27 + 2 x 4 attacked zone squares + safe checks (queen 3 x 4, rook 2 x 6)
    // + 2 for the open file = 66; offset 12: KingDangerTable[78] = 116; a contact check on e7.
    EXPECT_EQ(eval::evaluateKingSafety(pos), (116 + 10 - 19) * 90 / 100);
    eval::setEvaluationWeights(100, 200, 100, 100, 100, 100, WHITE);
    EXPECT_EQ(eval::evaluateKingSafety(pos), (2 * 126 - 19) * 90 / 100);
    eval::resetEvaluationParameters();
    // Black minors guarding d7 and e7: those squares stop counting, the contact check goes.
    w.minorAttacks[BLACK] = at({"d7", "e7"});
    EXPECT_EQ(eval::evaluateKingSafety(pos), (104 - 19) * 90 / 100);
}

TEST_F(PiecesTest, KingSafetyDangerAndWeights) {
    // The danger table is clamped at both ends.
    EXPECT_EQ(eval::kingDanger(-3), 0);
    EXPECT_EQ(eval::kingDanger(1000), 160);

    // A queen and rook bearing down on the castled Black king.
    const std::string attack = "r4rk1/ppp2ppp/8/8/8/5Q2/PPP2PPP/4R1K1 w - - 0 1";
    Position pos = fullyEvaluated(attack);
    EXPECT_GT(pos.evalWork.kingAttackUnits[WHITE], pos.evalWork.kingAttackUnits[BLACK]);
    int danger = eval::evaluateKingSafety(pos);
    EXPECT_GT(danger, 0);
    // Caution weighs the danger to the other side's king: more of it, a higher score for White.
    eval::setEvaluationWeights(100, 200, 100, 100, 100, 100, WHITE);
    Position weighted = fullyEvaluated(attack);
    EXPECT_GT(eval::evaluateKingSafety(weighted), danger);
}

} // namespace

// Drawish-material rules of the material step: which rule answers, with what score and mode.
#include "eval_support.h"

#include "eval/endgame.h"
#include "eval/tables.h"

#include <map>

using namespace position;
using namespace evaltest;

namespace {

class KnowledgeTest : public EvalTest {};

// The rules that answer on material alone (tests/data/material_rules.epd): the evaluation mode
// they leave, the quick score from White's point of view and the material score.
TEST_F(KnowledgeTest, DrawishMaterialRules) {
    const std::map<std::string, int> modes = {{"exact", base::EvalExact},
                                              {"tempo", base::EvalTempoOnly},
                                              {"replaced", base::EvalReplacedMaterial},
                                              {"normal", base::EvalNormal}};
    auto records = testsupport::readDataFile("material_rules.epd");
    ASSERT_EQ(records.size(), 39u);
    for (const auto &r : records) {
        ASSERT_EQ(r.fields.size(), 3u) << r.fen;
        Position pos = fromFen(r.fen);
        int score = quickWhite(pos);
        auto same = [](const std::string &want, int got) { return want == "-" || std::stoi(want) == got; };
        EXPECT_TRUE(r.fields[0] == "-" || modes.at(r.fields[0]) == pos.evalWork.evalMode) << r.fen;
        EXPECT_TRUE(same(r.fields[1], score)) << r.fen << ": " << score;
        EXPECT_TRUE(same(r.fields[2], pos.evalWork.materialScore))
            << r.fen << ": " << pos.evalWork.materialScore;
    }
    // Queen against a bishop, and rook and bishop against a knight: the tempo (and the scaled
    // endgame table sum) only, no null move.
    Position pos = fromFen("8/8/8/4k3/8/8/1b6/1Q2K3 w - - 0 1");
    EXPECT_EQ(quickWhite(pos), 736 - pos.pstEg[BLACK] + 100 + 10);
    EXPECT_EQ(pos.evalWork.evalMode, base::EvalTempoOnly);
    EXPECT_EQ(pos.evalWork.nullMoveAllowed, 0);
    pos = fromFen("8/8/8/4k3/8/8/1n6/R2BK3 b - - 0 1");
    EXPECT_EQ(quickWhite(pos), 500 - pos.pstEg[BLACK] - 10);
    EXPECT_EQ(pos.evalWork.evalMode, base::EvalTempoOnly);
}

} // namespace

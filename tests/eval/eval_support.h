// Shared helpers of the evaluation tests.
#pragma once

#include "base/eval_scratch.h"
#include "eval/evaluate.h"
#include "position/position.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace evaltest {

// Builds the tables once and restores default values and weights before every test.
class EvalTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
};

position::Position fromFen(const std::string &fen);
using testsupport::mirrorFen;
// Scores from White's point of view.
int quickWhite(position::Position &pos);
int quickWhite(const std::string &fen);
// Full evaluation as the search would take it: quick first, full only in the normal mode.
int fullWhite(position::Position &pos);
int fullWhite(const std::string &fen);
// Weights 64 for everything, both colours.
void setEqualWeights();

} // namespace evaltest

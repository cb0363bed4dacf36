// Small helpers shared by the search tests.
#pragma once

#include "eval/evaluate.h"
#include "position/fen.h"
#include "position/notation.h"
#include "position/position.h"
#include "search/search.h"
#include "support/test_support.h"

namespace searchtest {

inline void init() {
    static bool done = false;
    testsupport::initOnce();
    if (!done) {
        eval::initEvaluation();
        search::initSearch();
        done = true;
    }
}

inline position::Position fromFen(const char *fen) {
    position::LoadFen(fen);
    return position::GamePosition;
}

inline position::Move mv(const char *text) { return position::TextToMove(text); }

} // namespace searchtest

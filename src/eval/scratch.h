// Working fields the evaluation fills and reads during one evaluation. They live inside the
// position record so that a bytewise copy of a position carries them.
#pragma once

#include <cstdint>

namespace eval {

struct EvalScratch {
    std::int32_t unused = 0; // filled in by the evaluation
};

} // namespace eval

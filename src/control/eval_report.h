// The console "eval" command's text: the evaluation report, term by term.
#pragma once

#include "eval/report.h"

namespace control {

void printEvaluation(const eval::EvaluationReport &report);

} // namespace control

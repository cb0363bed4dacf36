#include "base/options.h"

namespace base {

EngineOption Options[OPTION_COUNT];

} // namespace base

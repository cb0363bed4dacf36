#include "control/version.h"

namespace control {

const char *buildDate() { return __DATE__; }
const char *buildTime() { return __TIME__; }

} // namespace control

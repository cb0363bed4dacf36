#include "base/version.h"

namespace base {

const char *buildDate() { return __DATE__; }
const char *buildTime() { return __TIME__; }

} // namespace base

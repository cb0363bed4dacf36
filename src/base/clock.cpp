#include "base/clock.h"

#include "base/options.h"
#include "platform/platform.h"

namespace base {

std::uint64_t GetTimeMs() {
    return optionBool(OPTION_PROCESS_TIME) ? platform::processTimeMs() : platform::wallClockMs();
}

} // namespace base

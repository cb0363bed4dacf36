#include "control/clock.h"

#include "control/options.h"
#include "platform/platform.h"

namespace control {

std::uint64_t GetTimeMs() {
    return optionBool(OPTION_PROCESS_TIME) ? platform::processTimeMs() : platform::wallClockMs();
}

} // namespace control

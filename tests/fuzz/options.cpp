// INI files and option values: lines beginning "setoption" or "debug" are commands, the others
// form an INI file that is read both as "Inifilepath" and as the personality "p". Afterwards
// every value must be within its bounds and a short search must run with them.
#include "fuzz_support.h"

#include "base/options.h"
#include "base/text.h"
#include "control/dispatch.h"
#include "control/options.h"
#include "control/protocol.h"

#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 8192) return 0;
    fuzz::initEngineOnce();
    fuzz::resetEngine();
    mkdir("personalities", 0755);
    std::string ini;
    std::vector<std::string_view> commands;
    for (std::string_view line : fuzz::splitLines({reinterpret_cast<const char *>(data), size})) {
        if (base::startsWith(line, "setoption") || base::startsWith(line, "debug"))
            commands.push_back(line);
        else
            ini.append(line).append("\n");
    }
    fuzz::writeFile("fuzz.ini", ini);
    fuzz::writeFile("personalities/p.ini", ini);
    control::setOptionValue(base::OPTION_INIFILEPATH, "fuzz.ini");
    for (std::string_view line : commands)
        control::handleSetOption(line);
    for (const base::EngineOption &o : base::Options) {
        if (o.type == base::OPT_SPIN) FUZZ_CHECK(o.value >= o.min && o.value <= o.max);
        if (o.type == base::OPT_CHECK) FUZZ_CHECK(o.value == 0 || o.value == 1);
    }
    control::setProtocolMode(control::MODE_UCI);
    control::dispatchLine("position startpos moves e2e4 d7d5 e4d5 d8d5 b1c3");
    control::dispatchLine("go nodes 3000");
    fuzz::checkGamePosition();
    return 0;
}

#include "control/tablebase_report.h"

#include "base/debuglog.h"
#include "base/output.h"
#include "base/protocol.h"
#include "search/context.h"
#include "tablebases/registry.h"

#include <cstdio>
#include <cstring>

namespace control {

void printTablebaseMessage(const char *text) {
    // The prefix, the text (cut to fit) and the line end.
    char line[tablebases::TABLEBASE_MESSAGE_SIZE + 1];
    std::snprintf(line, sizeof line - 1, "%s%s", base::ProtocolMode == base::MODE_UCI ? "info string " : "",
                  text);
    std::size_t length = std::strlen(line);
    line[length] = '\n', line[length + 1] = 0;
    if (!search::searchIdle()) {
        base::appendInfoText(line); // printed (and logged) with the search output
    } else {
        std::fputs(line, stdout);
        std::fflush(stdout);
        line[length] = 0;
        base::debugLine(line);
    }
}

} // namespace control

#include "control/tablebase_report.h"

#include "control/debuglog.h"
#include "control/output.h"
#include "control/protocol.h"
#include "search/context.h"
#include "tablebases/registry.h"

#include <cstdio>
#include <cstring>

namespace control {

void printTablebaseMessage(const char *text) {
    // The prefix, the text (cut to fit) and the line end.
    char line[tablebases::TABLEBASE_MESSAGE_SIZE + 1];
    std::snprintf(line, sizeof line - 1, "%s%s", ProtocolMode == MODE_UCI ? "info string " : "", text);
    std::size_t length = std::strlen(line);
    line[length] = '\n', line[length + 1] = 0;
    if (!search::searchIdle()) {
        appendInfoText(line); // printed (and logged) with the search output
    } else {
        std::fputs(line, stdout);
        std::fflush(stdout);
        line[length] = 0;
        debugLine(line);
    }
}

} // namespace control

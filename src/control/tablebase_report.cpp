#include "control/tablebase_report.h"

#include "control/debuglog.h"
#include "control/output.h"
#include "control/protocol.h"
#include "search/context.h"
#include "tablebases/registry.h"

#include <cstdio>
#include <cstring>

namespace control {

namespace {

// Room for a line of tablebase news and its NUL; longer text is cut.
constexpr std::size_t NEWS_SIZE = 511;

void formatNews(char *text, std::size_t size, const tablebases::TablebaseNews &n) {
    using tablebases::NewsKind;
    auto bytes = [](std::uint64_t value) { return static_cast<unsigned long long>(value); };
    switch (n.kind) {
    case NewsKind::FILE_SIZE:
        std::snprintf(text, size, "Tablebase file %s skipped: %llu bytes, expected %llu", n.path,
                      bytes(n.size), bytes(n.expected));
        break;
    case NewsKind::FILE_BROKEN:
        std::snprintf(text, size, "Tablebase file %s skipped: %s", n.path, n.reason);
        break;
    case NewsKind::BLOCK_SIZE:
        std::snprintf(text, size, "Tablebase file %s skipped: unsupported block size %u", n.path,
                      unsigned(n.size));
        break;
    case NewsKind::FILE_CONTENT:
        std::snprintf(text, size, "Tablebase file %s skipped: holds %llu bytes, expected %llu", n.path,
                      bytes(n.size), bytes(n.expected));
        break;
    case NewsKind::FILE_FAILED:
        std::snprintf(text, size, "Tablebase file %s: %s; no longer used", n.path, n.reason);
        break;
    case NewsKind::REGISTERED:
        std::snprintf(text, size, "Tablebases: %d files registered (%d skipped), up to %d pieces",
                      n.registered, n.skipped, n.pieces);
        break;
    case NewsKind::NO_CACHE_MEMORY:
        std::snprintf(text, size,
                      "Cannot allocate %llu bytes for the tablebase cache: running without tablebases",
                      bytes(n.size));
        break;
    }
}

} // namespace

void printTablebaseNews(const tablebases::TablebaseNews &news) {
    char text[NEWS_SIZE];
    formatNews(text, sizeof text, news);
    // The prefix, the text (cut to fit) and the line end.
    char line[NEWS_SIZE + 1];
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

#include "control/tablebase_report.h"

#include "control/debuglog.h"
#include "control/output.h"
#include "base/options.h"
#include "control/protocol.h"
#include "search/context.h"
#include "search/pool.h"
#include "search/settings.h"
#include "tablebases/syzygy.h"
#include "tablebases/registry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

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
    case NewsKind::SYZYGY_SKIPPED:
        std::snprintf(text, size, "Syzygy file %s skipped: %s", n.path, n.reason);
        break;
    case NewsKind::SYZYGY_LOADED:
        std::snprintf(text, size, "Syzygy tablebases: %d %s (%llu %s), up to %d pieces%s", n.registered,
                      n.registered == 1 ? "table" : "tables", bytes(n.size), n.size == 1 ? "file" : "files",
                      n.pieces, n.skipped ? ", damaged files skipped" : "");
        break;
    case NewsKind::NO_CACHE_MEMORY:
        std::snprintf(text, size,
                      "Cannot allocate %llu bytes for the tablebase cache: running without tablebases",
                      bytes(n.size));
        break;
    }
}

// News from a helper thread waits here for the main thread; more than a few at once are dropped.
constexpr int QUEUE_SIZE = 8;
std::mutex &QueueLock = *new std::mutex;
char Queued[QUEUE_SIZE][NEWS_SIZE + 1];
int QueuedCount = 0;

// `line` holds the text and its line end at `length`.
void emit(char *line, std::size_t length) {
    if (!search::searchIdle()) {
        appendInfoText(line); // printed (and logged) with the search output
    } else {
        std::fputs(line, stdout);
        std::fflush(stdout);
        line[length] = 0;
        debugLine(line);
    }
}

} // namespace

void printTablebaseNews(const tablebases::TablebaseNews &news) {
    char text[NEWS_SIZE];
    formatNews(text, sizeof text, news);
    // The prefix, the text (cut to fit) and the line end.
    char line[NEWS_SIZE + 1];
    const char *prefix = ProtocolMode == MODE_UCI ? "info string " : "";
    std::size_t length = std::strlen(prefix);
    std::memcpy(line, prefix, length);
    std::size_t textLength = std::min(std::strlen(text), sizeof line - 2 - length);
    std::memcpy(line + length, text, textLength);
    length += textLength;
    line[length] = '\n', line[length + 1] = 0;
    if (search::currentThreadIndex() != 0) { // a helper's probe: the main thread prints it
        std::lock_guard<std::mutex> lock(QueueLock);
        if (QueuedCount < QUEUE_SIZE) std::memcpy(Queued[QueuedCount++], line, length + 2);
        return;
    }
    emit(line, length);
}

void loadSyzygyAndReport() {
    std::string paths = base::optionText(base::OPTION_SYZYGY_PATH);
    tablebases::SyzygyLoad load = tablebases::loadSyzygy(paths);
    applySyzygySettings();
    if (paths.empty() || paths == "<empty>") return;
    tablebases::TablebaseNews news{tablebases::NewsKind::SYZYGY_SKIPPED};
    for (const tablebases::SyzygyProblem &p : load.problems) {
        news.path = p.path.c_str();
        news.reason = p.reason.c_str();
        printTablebaseNews(news);
    }
    news = {tablebases::NewsKind::SYZYGY_LOADED};
    news.registered = load.tables;
    news.size = std::uint64_t(load.files);
    news.pieces = load.largest;
    news.skipped = int(load.problems.size());
    printTablebaseNews(news);
}

void applySyzygySettings() {
    search::Settings.tablePieces =
        std::min(tablebases::syzygyLargest(), base::optionInt(base::OPTION_SYZYGY_PROBE_LIMIT));
    search::Settings.tableProbeDepth = position::plies(base::optionInt(base::OPTION_SYZYGY_PROBE_DEPTH));
}

void printQueuedTablebaseNews() {
    std::lock_guard<std::mutex> lock(QueueLock);
    for (int i = 0; i < QueuedCount; ++i)
        emit(Queued[i], std::strlen(Queued[i]) - 1);
    QueuedCount = 0;
}

} // namespace control

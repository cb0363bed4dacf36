#include "control/debuglog.h"

#include "base/clock.h"
#include "base/options.h"
#include "base/version.h"

#include <cstdio>

namespace control {

using namespace base;

std::uint64_t DebugStartTime = 0;
bool DebugStopped = true;

namespace {

constexpr const char *STAR_LINE = "***************************\n";

// Opened and closed for every write so the log survives a crash or a kill.
FILE *openLog() { return std::fopen(DEBUG_LOG_FILE, "a"); }

void writeStamped(FILE *f, std::string_view line) {
    std::fprintf(f, "%7llu: ", static_cast<unsigned long long>(GetTimeMs() - DebugStartTime));
    std::fwrite(line.data(), 1, line.size(), f);
    std::fputc('\n', f);
}

} // namespace

void DebugModeChanged() {
    if (optionBool(OPTION_DEBUG)) {
        if (FILE *f = openLog()) {
            std::fputs(STAR_LINE, f);
            std::fputs("*** Starting Debug Mode ***\n", f);
            std::fputs(STAR_LINE, f);
            std::fprintf(f, "BUILD: %s %s, %s %s\n", ENGINE_NAME, ENGINE_VERSION, buildDate(), buildTime());
            std::fclose(f);
        }
        DebugStartTime = GetTimeMs();
        DebugStopped = false;
    } else if (!DebugStopped) {
        if (FILE *f = openLog()) {
            std::fprintf(f, "gettime(): %7llu\n",
                         static_cast<unsigned long long>(GetTimeMs() - DebugStartTime));
            std::fputs(STAR_LINE, f);
            std::fputs("*** Stopping Debug Mode ***\n", f);
            std::fputs(STAR_LINE, f);
            std::fclose(f);
        }
    }
}

void debugLine(std::string_view line) {
    if (!optionBool(OPTION_DEBUG)) return;
    if (FILE *f = openLog()) {
        writeStamped(f, line);
        std::fclose(f);
    }
}

void debugLines(std::string_view text) {
    if (!optionBool(OPTION_DEBUG)) return;
    FILE *f = openLog();
    if (!f) return;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        writeStamped(f, text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    std::fclose(f);
}

} // namespace control

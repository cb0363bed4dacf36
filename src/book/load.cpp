#include "book/load.h"

#include "base/clock.h"
#include "base/options.h"
#include "base/protocol.h"
#include "book/internal.h"
#include "book/random.h"
#include "book/table.h"

#include <cstdio>
#include <string>

namespace book {

namespace {

std::string LoadedPath;

// Console and UCI hear about the book; xboard does not.
void say(const std::string &message) {
    using namespace base;
    if (ProtocolMode == MODE_XBOARD) return;
    if (ProtocolMode == MODE_UCI) std::fputs("info string ", stdout);
    std::fputs(message.c_str(), stdout);
    std::fflush(stdout);
}

} // namespace

void loadBook() {
    using namespace base;
    seedBookRandom(std::uint32_t(GetTimeMs()));
    if (!optionBool(OPTION_OWN_BOOK)) return;
    const std::string &path = optionText(OPTION_OWN_BOOK_PATH);
    if (path == LoadedPath) return;
    LoadedPath = path;
    std::vector<BookEntry> entries;
    if (readBookFile(path, entries)) {
        BookTable.swap(entries);
        say("Opening Book: " + std::to_string(bookEntries()) + " entries loaded\n");
    } else {
        say("Cannot open " + path + ", a small internal book will be used instead!\n");
        buildInternalBook();
    }
}

} // namespace book

#include "book/load.h"

#include "base/clock.h"
#include "base/options.h"
#include "book/internal.h"
#include "book/random.h"
#include "book/table.h"

#include <vector>

namespace book {

namespace {

std::string LoadedPath;

} // namespace

BookLoad loadBook() {
    using namespace base;
    seedBookRandom(std::uint32_t(GetTimeMs()));
    if (!optionBool(OPTION_OWN_BOOK)) return {};
    const std::string &path = optionText(OPTION_OWN_BOOK_PATH);
    if (path == LoadedPath) return {};
    LoadedPath = path;
    std::vector<BookEntry> entries;
    if (readBookFile(path, entries)) {
        BookTable.swap(entries);
        return {BOOK_FILE_LOADED, bookEntries(), path};
    }
    buildInternalBook();
    return {BOOK_INTERNAL, bookEntries(), path};
}

} // namespace book

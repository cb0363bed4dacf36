// vorlan-book's Polyglot reader: the bytes as a .bin book, read and walked from the start.
#include "fuzz_support.h"

#include "booktool/polyglot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 1 << 16) return 0;
    fuzz::initEngineOnce();
    fuzz::writeFile("fuzz.bin", {reinterpret_cast<const char *>(data), size});
    booktool::PolyglotBook book;
    std::string error;
    FUZZ_CHECK(booktool::readPolyglotBook("fuzz.bin", book, error));
    FUZZ_CHECK(book.entries.size() == size / 16 && book.trailingBytes == size % 16);
    booktool::WalkReport report;
    std::vector<book::BookEntry> entries = booktool::walkPolyglotBook(book, report);
    FUZZ_CHECK(entries.size() <= book.entries.size());
    return 0;
}

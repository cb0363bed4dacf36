#include "book/table.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace book {

std::vector<BookEntry> BookTable;

namespace {
constexpr std::size_t RECORDS_PER_BLOCK = 65536;

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
} // namespace

const BookEntry *findBookEntry(std::uint64_t key) {
    for (const BookEntry &e : BookTable)
        if (e.key == key && e.weight != 0) return &e;
    return nullptr;
}

void addBookEntry(std::uint64_t key, std::uint8_t flags) {
    for (const BookEntry &e : BookTable)
        if (e.key == key) return;
    BookTable.push_back({key, 0, flags, 1});
}

bool readBookFile(const std::string &path, std::vector<BookEntry> &out) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    std::vector<BookEntry> entries;
    std::vector<unsigned char> block(RECORDS_PER_BLOCK * BOOK_RECORD_SIZE);
    for (;;) {
        std::size_t records = std::fread(block.data(), BOOK_RECORD_SIZE, RECORDS_PER_BLOCK, f.get());
        for (std::size_t i = 0; i < records; ++i)
            entries.push_back(decodeEntry(&block[i * BOOK_RECORD_SIZE]));
        if (records < RECORDS_PER_BLOCK) break;
    }
    if (std::ferror(f.get())) return false;
    out.swap(entries);
    return true;
}

bool writeBookFile(const std::string &path, const std::vector<BookEntry> &entries) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    std::vector<unsigned char> block(RECORDS_PER_BLOCK * BOOK_RECORD_SIZE);
    for (std::size_t start = 0; start < entries.size(); start += RECORDS_PER_BLOCK) {
        std::size_t n = std::min(RECORDS_PER_BLOCK, entries.size() - start);
        for (std::size_t i = 0; i < n; ++i)
            encodeEntry(entries[start + i], &block[i * BOOK_RECORD_SIZE]);
        if (std::fwrite(block.data(), BOOK_RECORD_SIZE, n, f.get()) != n) return false;
    }
    return std::fclose(f.release()) == 0;
}

} // namespace book

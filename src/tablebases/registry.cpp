#include "tablebases/registry.h"

#include "platform/platform.h"
#include "tablebases/cache.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <vector>

namespace tablebases {

RegisteredSide Registered[TABLE_COUNT][2];
bool NoTablesRegistered = true;

namespace {

constexpr std::uint64_t EXTENT_BYTES = std::uint64_t(1) << 31;
constexpr std::uint32_t TABLE_BLOCK = 8192;

void dropNews(const TablebaseNews &) {}

struct Counters {
    int tried = 0, opened = 0, registered = 0, skipped = 0;
    std::uint64_t headerBytes = 0;
};

std::string trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return std::string(s);
}

char extentLetter(int extent) { return extent < 10 ? char('0' + extent) : char('a' + extent - 10); }

// The bytes an extent must hold: full extents 2^31, the last one the rest.
std::uint64_t extentBytes(const TableInfo &t, int side, int extent) {
    std::uint64_t total = t.sideSize(side) * std::uint64_t(t.bytesPerValue());
    if (!(t.flags & TABLE_SPLIT)) return total;
    std::uint64_t start = std::uint64_t(extent) * EXTENT_BYTES;
    return start >= total ? 0 : std::min(EXTENT_BYTES, total - start);
}

// The names a file may have, most usual first: kqkr.nbw, kqkr.nbw.emd, kqkr_nbw.emd,
// kqkr_nbw_emd, kqkrnbw.emd (the last three only for unsplit tables, the last not for six pieces).
std::vector<std::string> candidateNames(const std::string &folder, const TableInfo &t, int side, int extent) {
    std::string dir = folder;
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += platform::pathSeparator();
    std::string name = t.name, ext = side == 0 ? "nbw" : "nbb";
    if (t.flags & TABLE_SPLIT)
        return {dir + name + "." + extentLetter(extent) + "." + ext,
                dir + name + "." + extentLetter(extent) + "." + ext + ".emd"};
    std::vector<std::string> names = {dir + name + "." + ext, dir + name + "." + ext + ".emd",
                                      dir + name + "_" + ext + ".emd", dir + name + "_" + ext + "_emd"};
    if (t.id < FIRST_SIX_PIECE) names.push_back(dir + name + ext + ".emd");
    return names;
}

bool readExactly(std::FILE *f, std::uint8_t *to, std::size_t n) { return std::fread(to, 1, n, f) == n; }

// Checks an opened file against its table; false with a message when it does not fit.
bool checkFile(std::FILE *f, const std::string &path, bool compressed, std::uint64_t expected,
               std::unique_ptr<ContainerHeader> &header, Counters &counters) {
    std::error_code ec;
    std::uint64_t length = std::filesystem::file_size(path, ec);
    if (ec) length = 0;
    if (!compressed) {
        if (length == expected) return true;
        NewsHook({NewsKind::FILE_SIZE, path.c_str(), "", length, expected});
        return false;
    }
    std::uint8_t prefix[CONTAINER_PREFIX];
    ContainerError problem = CONTAINER_BROKEN;
    std::uint32_t headerLength = 0;
    if (!readExactly(f, prefix, sizeof prefix))
        problem = CONTAINER_READ_ERROR;
    else
        headerLength = containerHeaderLength(prefix, sizeof prefix);
    if (headerLength && headerLength <= length) {
        std::unique_ptr<std::uint8_t[]> bytes(new (std::nothrow) std::uint8_t[headerLength]);
        header.reset(new (std::nothrow) ContainerHeader);
        if (!bytes || !header) {
            problem = CONTAINER_OUT_OF_MEMORY;
        } else {
            std::copy(prefix, prefix + sizeof prefix, bytes.get());
            problem = readExactly(f, bytes.get() + sizeof prefix, headerLength - sizeof prefix)
                          ? readTbHeader(bytes.get(), headerLength, *header)
                          : CONTAINER_READ_ERROR;
        }
    }
    if (problem != CONTAINER_OK) {
        NewsHook({NewsKind::FILE_BROKEN, path.c_str(), containerErrorText(problem)});
        return false;
    }
    if (header->blockSize != TABLE_BLOCK) {
        NewsHook({NewsKind::BLOCK_SIZE, path.c_str(), "", header->blockSize});
        return false;
    }
    if (header->decodedSize != expected || header->blockOffset.back() > length) {
        NewsHook({NewsKind::FILE_CONTENT, path.c_str(), "", header->decodedSize, expected});
        return false;
    }
    counters.headerBytes += headerLength;
    return true;
}

bool registerExtent(const std::string &folder, const TableInfo &t, int side, int extent, Counters &counters) {
    ExtentFile &slot = Registered[t.id][side].extent[extent];
    if (!slot.path.empty()) return true; // an earlier folder has it
    std::uint64_t expected = extentBytes(t, side, extent);
    for (const std::string &path : candidateNames(folder, t, side, extent)) {
        ++counters.tried;
        std::FILE *f = std::fopen(path.c_str(), "rb");
        if (!f) continue;
        ++counters.opened;
        bool compressed = path.size() > 3 && path.compare(path.size() - 3, 3, "emd") == 0;
        std::unique_ptr<ContainerHeader> header;
        bool ok = checkFile(f, path, compressed, expected, header, counters);
        std::fclose(f);
        if (!ok) {
            ++counters.skipped;
            continue;
        }
        slot.path = path;
        slot.header = std::move(header);
        ++counters.registered;
        return true;
    }
    return false;
}

void registerSide(const std::string &folder, const TableInfo &t, int side, Counters &counters) {
    RegisteredSide &r = Registered[t.id][side];
    for (int e = 0; e < extentCount(t, side); ++e)
        if (!registerExtent(folder, t, side, e, counters)) break;
    for (const ExtentFile &f : r.extent)
        r.any |= !f.path.empty();
}

} // namespace

NewsFunction NewsHook = dropNews;

void closeTablebaseFiles() {
    for (auto &table : Registered)
        for (RegisteredSide &side : table)
            for (ExtentFile &f : side.extent)
                if (f.handle) {
                    std::fclose(f.handle);
                    f.handle = nullptr;
                }
}

void disableExtent(int id, int side, int extent, const char *reason) {
    ExtentFile &f = Registered[id][side].extent[extent];
    if (f.path.empty()) return;
    NewsHook({NewsKind::FILE_FAILED, f.path.c_str(), reason});
    if (f.handle) std::fclose(f.handle);
    f.handle = nullptr;
    f.path.clear();
}

int InitTablebases(std::string_view paths) {
    // 1. Forget everything.
    initTableList();
    closeTablebaseFiles();
    for (auto &table : Registered)
        for (RegisteredSide &side : table) {
            for (ExtentFile &f : side.extent)
                f.path.clear(), f.header.reset();
            side.any = false;
            std::fill(std::begin(side.heads), std::end(side.heads), -1);
        }
    NoTablesRegistered = true;
    clearTablebaseCache();
    // 2. Each folder in turn; the first that has a file wins.
    Counters counters;
    int folders = 0, highest = 0;
    while (!paths.empty()) {
        std::size_t cut = paths.find_first_of(",;");
        std::string folder = trim(paths.substr(0, cut));
        paths = cut == std::string_view::npos ? std::string_view() : paths.substr(cut + 1);
        std::error_code ec;
        if (folder.empty() || !std::filesystem::is_directory(folder, ec)) continue;
        ++folders;
        for (int id = 1; id < TABLE_COUNT; ++id) {
            const TableInfo &t = Tables[id];
            for (int side = 0; side < (t.flags & TABLE_SYMMETRIC ? 1 : 2); ++side) {
                registerSide(folder, t, side, counters);
                if (Registered[id][side].any) highest = std::max(highest, id);
            }
        }
    }
    NoTablesRegistered = counters.registered == 0;
    int pieces = highest >= FIRST_SIX_PIECE    ? 6
                 : highest >= FIRST_FIVE_PIECE ? 5
                 : highest >= FIRST_FOUR_PIECE ? 4
                 : highest >= 1                ? 3
                                               : 0;
    if (folders > 0)
        NewsHook({NewsKind::REGISTERED, "", "", 0, 0, counters.registered, counters.skipped, pieces});
    return pieces;
}

} // namespace tablebases

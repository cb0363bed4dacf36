// vorlan-tbgen: computes endgame tables by retrograde analysis and writes them in the layout
// the engine reads, uncompressed or as compressed containers.
#include "position/attacks.h"
#include "tablebases/tables.h"
#include "tbgen/compress.h"
#include "tbgen/parallel.h"
#include "tbgen/retro.h"
#include "tbgen/store.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using namespace tablebases;
using namespace tbgen;

namespace {

constexpr int EXIT_FAILED = 1, EXIT_USAGE = 2;

struct Settings {
    std::vector<int> tables;
    std::string directory;
    bool compress = false;
    int threads = 1;
};

void usage(std::FILE *to) {
    std::fprintf(to, "usage: vorlan-tbgen TABLE... -o DIR [--compress] [--threads N]\n"
                     "       vorlan-tbgen --all N -o DIR [--compress] [--threads N]\n"
                     "TABLE is a material signature such as kqkr or krpkr; --all N makes every table\n"
                     "of 3 to N pieces (N = 3, 4 or 5). Tables a capture or promotion reaches are read\n"
                     "from DIR when there, otherwise made first.\n");
}

// The table of a signature given with either side first; 0 when there is none.
int tableOfName(const std::string &name) {
    int counts[2][KIND_COUNT] = {}, side = -1;
    for (char c : name) {
        if (c == 'k' || c == 'K') {
            if (++side > 1) return 0;
            continue;
        }
        std::size_t k = std::string_view("pnbrq").find(char(c | 0x20));
        if (side < 0 || k == std::string_view::npos) return 0;
        ++counts[side][k];
    }
    return side == 1 ? std::abs(lookupMaterial(counts[0], counts[1])) : 0;
}

bool writeFile(const std::string &path, const void *data, std::size_t size) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

std::string fileName(const TableInfo &t, int side, bool compressed) {
    return std::string(t.name) + (side == 0 ? ".nbw" : ".nbb") + (compressed ? ".emd" : "");
}

void printSummary(const TableInfo &t, const TableStats &s, std::uint64_t bytes,
                  const std::vector<std::string> &files) {
    int sides = t.flags & TABLE_SYMMETRIC ? 1 : 2;
    auto both = [&](const std::uint64_t *v) {
        return sides == 1 ? std::to_string(v[0]) : std::to_string(v[0]) + "/" + std::to_string(v[1]);
    };
    std::string names;
    for (const auto &f : files)
        names += " " + f;
    std::printf("%-7s %7.1f s  positions %s  won %s  drawn %s  lost %s  longest mate %d  %.2f MB%s\n", t.name,
                s.seconds, both(s.positions).c_str(), both(s.wins).c_str(), both(s.draws).c_str(),
                both(s.losses).c_str(), std::max(s.longestWin[0], s.longestWin[1]), double(bytes) / 1048576.0,
                names.c_str());
    std::fflush(stdout);
}

std::vector<bool> Made(TABLE_COUNT, false); // generated and written in this run

bool makeTable(int id, const Settings &settings);

// Makes sure every table a capture or promotion reaches is in memory: read or made.
bool ensureTable(int id, const Settings &settings) {
    if (Loaded[id].present) return true;
    std::string error;
    if (loadTable(id, settings.directory, error)) return true;
    return makeTable(id, settings);
}

bool makeTable(int id, const Settings &settings) {
    const TableInfo &t = Tables[id];
    std::string reason;
    if (!canGenerate(id, reason)) {
        std::fprintf(stderr, "vorlan-tbgen: cannot make %s: %s\n", t.name, reason.c_str());
        return false;
    }
    for (int sub : subtablesOf(id))
        if (!ensureTable(sub, settings)) return false;
    double started = secondsSinceStart();
    TableStats stats;
    std::string error;
    if (!generateTable(id, settings.threads, stats, error)) {
        endProgress();
        std::fprintf(stderr, "vorlan-tbgen: %s: %s\n", t.name, error.c_str());
        return false;
    }
    std::uint64_t bytes = 0;
    std::vector<std::string> files;
    for (int side = 0; side < (t.flags & TABLE_SYMMETRIC ? 1 : 2); ++side) {
        const std::vector<std::int8_t> &data = Loaded[id].side[side];
        std::string name = fileName(t, side, settings.compress), path = settings.directory + "/" + name;
        bool ok;
        if (settings.compress) {
            std::vector<std::uint8_t> packed = compressTable(
                reinterpret_cast<const std::uint8_t *>(data.data()), data.size(), settings.threads);
            ok = writeFile(path, packed.data(), packed.size());
            bytes += packed.size();
        } else {
            ok = writeFile(path, data.data(), data.size());
            bytes += data.size();
        }
        if (!ok) {
            std::fprintf(stderr, "vorlan-tbgen: cannot write %s\n", path.c_str());
            return false;
        }
        files.push_back(name);
    }
    stats.seconds = secondsSinceStart() - started; // writing included
    printSummary(t, stats, bytes, files);
    Made[std::size_t(id)] = true;
    return true;
}

// Frees the tables no longer needed by the requests still to come (they can be read again).
void release(const std::vector<int> &remaining) {
    std::vector<bool> keep(TABLE_COUNT, false);
    for (int id : remaining) {
        keep[std::size_t(id)] = true;
        for (int sub : subtablesOf(id))
            keep[std::size_t(sub)] = true;
    }
    for (int id = 1; id < TABLE_COUNT; ++id)
        if (!keep[std::size_t(id)]) Loaded[id] = TableData{};
}

bool parse(int argc, char **argv, Settings &s) {
    s.threads = std::max(1, int(std::thread::hardware_concurrency()));
    int all = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "-o" && hasValue)
            s.directory = argv[++i];
        else if (a == "--compress")
            s.compress = true;
        else if (a == "--threads" && hasValue)
            s.threads = std::max(1, std::atoi(argv[++i]));
        else if (a == "--all" && hasValue)
            all = std::atoi(argv[++i]);
        else if (a == "-h" || a == "--help")
            return usage(stdout), false;
        else if (int id = tableOfName(a))
            s.tables.push_back(id);
        else
            return std::fprintf(stderr, "vorlan-tbgen: '%s' is not a table name or option\n", a.c_str()),
                   false;
    }
    if (all) {
        if (all >= 6) {
            std::fprintf(stderr,
                         "vorlan-tbgen: --all takes 3, 4 or 5: tables of 6 pieces are too big for this "
                         "machine (name one to try it anyway)\n");
            return false;
        }
        for (int id = 1; id < TABLE_COUNT && Tables[id].pieces() <= all; ++id)
            s.tables.push_back(id);
    }
    if (s.tables.empty() || s.directory.empty()) return usage(stderr), false;
    return true;
}

} // namespace

int main(int argc, char **argv) {
    position::initAttackTables();
    initTableList();
    Settings settings;
    if (!parse(argc, argv, settings)) return EXIT_USAGE;
    std::error_code ec;
    std::filesystem::create_directories(settings.directory, ec);
    if (!std::filesystem::is_directory(settings.directory)) {
        std::fprintf(stderr, "vorlan-tbgen: cannot use the folder %s\n", settings.directory.c_str());
        return EXIT_USAGE;
    }
    double started = secondsSinceStart();
    for (std::size_t i = 0; i < settings.tables.size(); ++i) {
        int id = settings.tables[i];
        if (Made[std::size_t(id)]) continue;
        if (!makeTable(id, settings)) return EXIT_FAILED;
        release(std::vector<int>(settings.tables.begin() + long(i) + 1, settings.tables.end()));
    }
    std::printf("all done in %.1f s\n", secondsSinceStart() - started);
    return 0;
}

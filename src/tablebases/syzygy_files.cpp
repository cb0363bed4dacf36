#include "tablebases/syzygy_files.h"

#include "platform/platform.h"

#include <tbprobe.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tablebases {

namespace {

constexpr int MAX_PIECES = 7;
// Every file is a whole number of 64-byte lines and a 16-byte trailer: any other size is a
// truncated or padded file.
constexpr std::uint64_t LINE_BYTES = 64, TRAILER_BYTES = 16;
constexpr unsigned char WDL_MAGIC[4] = {0x71, 0xE8, 0x23, 0x5D};
constexpr unsigned char DTZ_MAGIC[4] = {0xD7, 0x66, 0x0C, 0xA5};
constexpr const char *WDL_SUFFIX = ".rtbw";
constexpr const char *DTZ_SUFFIX = ".rtbz";
constexpr std::size_t SUFFIX_LENGTH = 5;
// Probes per table in the trial: enough to touch blocks all over a small table's files.
constexpr int TRIAL_WDL_PROBES = 96, TRIAL_DTZ_PROBES = 96, TRIAL_ATTEMPTS = 4000;
constexpr char KIND_LETTERS[] = "KQRBNP";

std::vector<std::string> splitPaths(std::string_view paths) {
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= paths.size()) {
        std::size_t end = paths.find(platform::pathListSeparator(), start);
        if (end == std::string_view::npos) end = paths.size();
        std::string folder(paths.substr(start, end - start));
        while (!folder.empty() && (folder.back() == ' ' || folder.back() == '\t'))
            folder.pop_back();
        while (!folder.empty() && (folder.front() == ' ' || folder.front() == '\t'))
            folder.erase(folder.begin());
        if (!folder.empty()) folders.push_back(folder);
        start = end + 1;
    }
    return folders;
}

int pieceCount(const std::string &name) {
    int counts[2][6];
    return parseTableName(std::string_view(name).substr(0, name.size() - SUFFIX_LENGTH), counts)
               ? int(name.size() - SUFFIX_LENGTH - 1)
               : 0;
}

// Why a file cannot be handed to the library; empty when it can.
std::string fileFault(const std::string &path, bool wdl) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return "cannot be read";
    unsigned char magic[4] = {};
    bool headerRead = std::fread(magic, 1, sizeof magic, f) == sizeof magic;
    bool sized = std::fseek(f, 0, SEEK_END) == 0;
    long size = sized ? std::ftell(f) : -1;
    std::fclose(f);
    if (!headerRead) return "cannot be read";
    if (std::memcmp(magic, wdl ? WDL_MAGIC : DTZ_MAGIC, sizeof magic) != 0)
        return wdl ? "not a Syzygy win/draw/loss table" : "not a Syzygy distance-to-zero table";
    if (size < 0) return "cannot be read";
    if (std::uint64_t(size) % LINE_BYTES != TRAILER_BYTES)
        return "truncated or damaged (" + std::to_string(size) + " bytes)";
    return "";
}

// --- The trial, run in a copy of the process -------------------------------------------------

struct Trial {
    const std::vector<std::string> *materials;
    std::size_t first;
};

std::uint64_t nextRandom(std::uint64_t &state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

struct Placement {
    std::uint64_t side[2] = {};
    std::uint64_t kind[6] = {}; // K Q R B N P
};

// Squares attacked by `colour` (0 White) in the library's square numbering.
std::uint64_t attacksBy(const Placement &p, int colour) {
    std::uint64_t occupied = p.side[0] | p.side[1], attacked = 0;
    for (int k = 0; k < 6; ++k)
        for (std::uint64_t b = p.kind[k] & p.side[colour]; b; b &= b - 1) {
            unsigned sq = unsigned(__builtin_ctzll(b));
            switch (k) {
            case 0: attacked |= tb_king_attacks(sq); break;
            case 1: attacked |= tb_queen_attacks(sq, occupied); break;
            case 2: attacked |= tb_rook_attacks(sq, occupied); break;
            case 3: attacked |= tb_bishop_attacks(sq, occupied); break;
            case 4: attacked |= tb_knight_attacks(sq); break;
            default: attacked |= tb_pawn_attacks(sq, colour == 0); break;
            }
        }
    return attacked;
}

// A random legal position of the material with `turn` (true: White) to move.
bool randomPosition(const int counts[2][6], std::uint64_t &state, Placement &p, bool &turn) {
    p = Placement{};
    bool swap = nextRandom(state) & 1; // the table's first side may be either colour
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < 6; ++k)
            for (int n = 0; n < counts[s][k]; ++n) {
                std::uint64_t occupied = p.side[0] | p.side[1];
                unsigned sq;
                int tries = 0;
                do {
                    sq = unsigned(nextRandom(state) % 64);
                    if (k == 5) sq = 8 + sq % 48; // pawns on the second to seventh rank
                } while ((occupied >> sq & 1) && ++tries < 64);
                if (occupied >> sq & 1) return false;
                int colour = s ^ int(swap);
                p.side[colour] |= std::uint64_t(1) << sq;
                p.kind[k] |= std::uint64_t(1) << sq;
            }
    turn = nextRandom(state) & 1;
    int mover = turn ? 0 : 1;
    std::uint64_t otherKing = p.kind[0] & p.side[mover ^ 1];
    return (attacksBy(p, mover) & otherKing) == 0;
}

void tryTables(void *arg, int report) {
    const Trial &trial = *static_cast<const Trial *>(arg);
    const std::vector<std::string> &materials = *trial.materials;
    for (std::size_t i = trial.first; i < materials.size(); ++i) {
        const std::string &name = materials[i];
        platform::sendReport(report, "T " + std::to_string(i));
        int counts[2][6];
        if (!parseTableName(name, counts)) continue;
        std::uint64_t state = 0x9E3779B97F4A7C15ull ^ (std::uint64_t(i) + 1) * 0xBF58476D1CE4E5B9ull;
        int wdlProbes = 0, dtzProbes = 0;
        for (int attempt = 0; attempt < TRIAL_ATTEMPTS && wdlProbes < TRIAL_WDL_PROBES; ++attempt) {
            Placement p;
            bool turn;
            if (!randomPosition(counts, state, p, turn)) continue;
            ++wdlProbes;
            unsigned wdl = tb_probe_wdl(p.side[0], p.side[1], p.kind[0], p.kind[1], p.kind[2], p.kind[3],
                                        p.kind[4], p.kind[5], 0, 0, 0, turn);
            if (dtzProbes >= TRIAL_DTZ_PROBES) continue;
            ++dtzProbes;
            unsigned root = tb_probe_root(p.side[0], p.side[1], p.kind[0], p.kind[1], p.kind[2], p.kind[3],
                                          p.kind[4], p.kind[5], 0, 0, 0, turn, nullptr);
            if (wdl == TB_RESULT_FAILED || root == TB_RESULT_FAILED || root == TB_RESULT_CHECKMATE ||
                root == TB_RESULT_STALEMATE)
                continue;
            if (TB_GET_WDL(root) != wdl) {
                platform::sendReport(report, "X " + std::to_string(i));
                break;
            }
        }
    }
}

// Which file of a material a library complaint names; both when it names neither.
void dropMaterial(SyzygyFiles &files, const std::string &material, const std::string &complaint,
                  const std::string &reason) {
    bool wdlNamed = complaint.find(WDL_SUFFIX) != std::string::npos;
    bool dtzNamed = complaint.find(DTZ_SUFFIX) != std::string::npos;
    for (auto it = files.accepted.begin(); it != files.accepted.end();) {
        bool wdl = it->name == material + WDL_SUFFIX, dtz = it->name == material + DTZ_SUFFIX;
        if ((wdl && (wdlNamed || !dtzNamed)) || (dtz && (dtzNamed || !wdlNamed))) {
            files.problems.push_back({it->path, reason});
            std::remove((files.folder + platform::pathSeparator() + it->name).c_str());
            it = files.accepted.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

void initialiseLibrary(const std::string &folder) {
    int saved = platform::silenceErrorOutput(); // it reports unmapping tables it never mapped
    tb_init(folder.c_str());
    platform::restoreErrorOutput(saved);
}

bool parseTableName(std::string_view name, int counts[2][6]) {
    std::memset(counts, 0, sizeof(int) * 12);
    std::size_t v = name.find('v');
    if (v == std::string_view::npos || name.size() < 4 || name.size() > MAX_PIECES + 1) return false;
    std::string_view sides[2] = {name.substr(0, v), name.substr(v + 1)};
    for (int s = 0; s < 2; ++s) {
        if (sides[s].empty() || sides[s][0] != 'K') return false;
        for (std::size_t i = 0; i < sides[s].size(); ++i) {
            const char *at = std::strchr(KIND_LETTERS, sides[s][i]);
            if (!at || !*at || (i > 0 && *at == 'K')) return false;
            ++counts[s][at - KIND_LETTERS];
        }
    }
    return name.size() - 1 >= 3;
}

SyzygyFiles collectSyzygyFiles(std::string_view paths, const std::string &previous) {
    platform::removeFolder(previous);
    SyzygyFiles files;
    std::vector<SyzygyFile> found;
    for (const std::string &folder : splitPaths(paths)) {
        for (const char *suffix : {WDL_SUFFIX, DTZ_SUFFIX})
            for (const std::string &name : platform::listFiles(folder, suffix)) {
                if (pieceCount(name) == 0) continue; // not a table's name
                bool known = std::any_of(found.begin(), found.end(), [&](const SyzygyFile &f) { return f.name == name; });
                if (known) continue;
                std::string path = platform::absolutePath(folder + platform::pathSeparator() + name);
                std::string fault = fileFault(path, suffix == WDL_SUFFIX);
                if (!fault.empty()) {
                    files.problems.push_back({path, fault});
                    continue;
                }
                found.push_back({name, path});
            }
    }
    // The trial goes from the smallest tables up, those without pawns first at each size: a
    // probe also reads the tables its captures and promotions lead to, which are then known good.
    auto order = [](const SyzygyFile &f) { return 2 * pieceCount(f.name) + (f.name.find('P') != std::string::npos); };
    std::stable_sort(found.begin(), found.end(),
                     [&](const SyzygyFile &a, const SyzygyFile &b) { return order(a) < order(b); });
    files.folder = platform::makePrivateFolder("vorlan-syzygy");
    if (files.folder.empty()) {
        // Without a private folder (or on systems without links) the library reads the folders
        // themselves: the header checks above are all the protection there is.
        files.accepted = found;
        return files;
    }
    for (const SyzygyFile &f : found)
        if (platform::linkFile(f.path, files.folder + platform::pathSeparator() + f.name))
            files.accepted.push_back(f);
        else
            files.problems.push_back({f.path, "cannot be linked for reading"});
    return files;
}

bool dropFailingTables(SyzygyFiles &files) {
    std::vector<std::string> materials;
    for (const SyzygyFile &f : files.accepted) {
        std::string material = f.name.substr(0, f.name.size() - SUFFIX_LENGTH);
        if (std::find(materials.begin(), materials.end(), material) == materials.end())
            materials.push_back(material);
    }
    bool dropped = false;
    Trial trial{&materials, 0};
    while (trial.first < materials.size()) {
        platform::IsolatedRun run = platform::runIsolated(tryTables, &trial);
        if (!run.started) break; // no copy of the process here: headers only
        // Each line: "T i" (trying material i), "X i" (its two files disagree), or the library's
        // own complaint about the material being tried.
        std::size_t current = materials.size();
        std::vector<std::pair<std::size_t, std::string>> faults;
        std::size_t start = 0;
        while (start < run.output.size()) {
            std::size_t end = run.output.find('\n', start);
            if (end == std::string::npos) end = run.output.size();
            std::string line = run.output.substr(start, end - start);
            start = end + 1;
            if (line.rfind("T ", 0) == 0) {
                current = std::size_t(std::strtoul(line.c_str() + 2, nullptr, 10));
            } else if (line.rfind("X ", 0) == 0) {
                faults.push_back({current, "its win/draw/loss and distance-to-zero files disagree"});
            } else if (!line.empty() && current < materials.size() &&
                       (faults.empty() || faults.back().first != current)) {
                faults.push_back({current, line});
            }
        }
        if (!run.completed && current < materials.size())
            faults.push_back({current, "crashed the table reader"});
        for (const auto &[index, what] : faults) {
            std::string reason = what.rfind("its ", 0) == 0 || what == "crashed the table reader"
                                     ? what
                                     : "rejected by the table reader (damaged or misnamed)";
            dropMaterial(files, materials[index], what, reason);
            dropped = true;
        }
        // The library forgets the dropped files before the next copy tries the rest.
        if (!faults.empty()) initialiseLibrary(files.folder);
        trial.first = run.completed ? materials.size() : current + 1;
    }
    return dropped;
}

} // namespace tablebases

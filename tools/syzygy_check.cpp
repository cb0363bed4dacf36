// How well the engine keeps table results, beyond what the unit tests can afford.
//   syzygy_check keep DIR [COUNT] [DEPTH]
//     COUNT (300) won or drawn positions of the reference WDL sample, spread over its tables; for
//     each the engine searches to DEPTH (8) without tables and with the tables of DIR, and the
//     move it plays is judged by the tables: does it keep the position's result?
// The reference folder is $VORLAN_REFERENCE_DATA or ../shared/data. Built with the release preset.
#include "control/startup.h"
#include "position/fen.h"
#include "position/makemove.h"
#include "position/notation.h"
#include "search/depth_driver.h"
#include "search/hooks.h"
#include "search/report.h"
#include "search/search.h"
#include "search/settings.h"
#include "search/thread.h"
#include "search/tt.h"
#include "tablebases/syzygy.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

struct Sample {
    std::string fen;
    int wdl;
};

std::vector<Sample> readSample() {
    const char *env = std::getenv("VORLAN_REFERENCE_DATA");
    std::string path = std::string(env ? env : "../shared/data") + "/tablebase-oracle/syzygy-wdl-sample.txt.xz";
    std::vector<Sample> out;
    std::FILE *f = popen(("xz -dc '" + path + "'").c_str(), "r");
    if (!f) return out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, f)) {
        std::string l(buffer);
        std::size_t semi = l.find(" ; wdl ");
        if (semi != std::string::npos) out.push_back({l.substr(0, semi), std::atoi(l.c_str() + semi + 7)});
    }
    pclose(f);
    return out;
}

// The sample holds 3,000 lines per table in table order: `count` won or drawn positions taken
// evenly from every table.
std::vector<Sample> pick(const std::vector<Sample> &all, int count, bool (*wanted)(const Sample &)) {
    std::vector<Sample> out;
    constexpr std::size_t PER_TABLE = 3000;
    std::size_t tables = all.size() / PER_TABLE;
    if (tables == 0) return out;
    int perTable = int((count + tables - 1) / tables);
    for (std::size_t t = 0; t < tables && int(out.size()) < count; ++t) {
        int taken = 0;
        for (std::size_t i = t * PER_TABLE; i < (t + 1) * PER_TABLE && taken < perTable && int(out.size()) < count;
             i += 37)
            if (wanted(all[i])) {
                out.push_back(all[i]);
                ++taken;
            }
    }
    return out;
}

position::Move searchMove(const std::string &fen, int depth) {
    search::clearHash();
    search::resetHistory();
    search::clearKillers(search::mainThread());
    position::LoadFen(fen);
    return search::searchToDepth(position::GamePosition, depth).bestMove;
}

// The result for the side that moved, after `move`: 2 win, 0 draw, -2 loss (99: unknown).
int resultAfter(const std::string &fen, position::Move move) {
    position::LoadFen(fen);
    position::PieceType captured;
    position::MakeMove(position::GamePosition, move, captured);
    tablebases::RootTableMoves reply;
    position::MoveEntry legal[position::MAX_MOVES];
    if (position::GenerateLegal(position::GamePosition, legal) == 0)
        return position::inCheck(position::GamePosition) ? 2 : 0;
    if (!tablebases::rankRootMoves(position::GamePosition, false, reply)) return 99;
    return -reply.wdl;
}

int keep(const std::string &dir, int count, int depth) {
    std::vector<Sample> all = readSample();
    // Won or drawn, with a move to play (not stalemate).
    std::vector<Sample> chosen = pick(all, count, [](const Sample &s) {
        position::LoadFen(s.fen);
        position::MoveEntry legal[position::MAX_MOVES];
        return (s.wdl == 2 || s.wdl == 0) && position::GenerateLegal(position::GamePosition, legal) > 0;
    });
    if (chosen.empty()) {
        std::fprintf(stderr, "no reference sample\n");
        return 1;
    }
    std::vector<position::Move> without, with;
    tablebases::loadSyzygy("");
    search::Settings.tablePieces = 0;
    for (const Sample &s : chosen)
        without.push_back(searchMove(s.fen, depth));
    tablebases::SyzygyLoad load = tablebases::loadSyzygy(dir);
    std::printf("tables: %d, up to %d pieces\n", load.tables, load.largest);
    search::Settings.tablePieces = load.largest;
    for (const Sample &s : chosen)
        with.push_back(searchMove(s.fen, depth));
    int kept[2][2] = {}, total[2] = {}; // [wins, draws][without, with]
    std::map<int, int> lost;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        int kind = chosen[i].wdl == 2 ? 0 : 1;
        ++total[kind];
        int a = resultAfter(chosen[i].fen, without[i]), b = resultAfter(chosen[i].fen, with[i]);
        kept[kind][0] += a == chosen[i].wdl;
        kept[kind][1] += b == chosen[i].wdl;
        if (b != chosen[i].wdl)
            std::printf("with tables, %s: %s gives %d\n", chosen[i].fen.c_str(), position::moveText(with[i]).c_str(), b);
    }
    std::printf("depth %d, %zu positions (%d won, %d drawn)\n", depth, chosen.size(), total[0], total[1]);
    std::printf("moves that keep the result   without tables   with tables\n");
    std::printf("won positions                %4d (%5.1f%%)   %4d (%5.1f%%)\n", kept[0][0],
                100.0 * kept[0][0] / (total[0] ? total[0] : 1), kept[0][1], 100.0 * kept[0][1] / (total[0] ? total[0] : 1));
    std::printf("drawn positions              %4d (%5.1f%%)   %4d (%5.1f%%)\n", kept[1][0],
                100.0 * kept[1][0] / (total[1] ? total[1] : 1), kept[1][1], 100.0 * kept[1][1] / (total[1] ? total[1] : 1));
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (argc < 3 || command != "keep") {
        std::fprintf(stderr, "usage: syzygy_check keep DIR [COUNT] [DEPTH]\n");
        return 2;
    }
    search::SearchReports silent = search::Reports; // the defaults print nothing
    control::initEngine();
    search::Hooks.readInput = search::readNoInput; // a measurement reads no commands
    search::Reports = silent;
    return keep(argv[2], argc > 3 ? std::atoi(argv[3]) : 300, argc > 4 ? std::atoi(argv[4]) : 8);
}

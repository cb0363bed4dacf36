// The tablebase files found in the "NalimovPath" folders: one record per table, side to move
// and extent, checked when registered and opened when first read.
#pragma once

#include "tablebases/container.h"
#include "tablebases/tables.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tablebases {

constexpr int CACHE_BUCKETS = 32;

struct ExtentFile {
    std::string path; // empty when not registered or disabled
    std::FILE *handle = nullptr;
    std::unique_ptr<ContainerHeader> header; // compressed files only
};

struct RegisteredSide {
    ExtentFile extent[MAX_EXTENTS];
    bool any = false;                  // some extent is registered
    std::int32_t heads[CACHE_BUCKETS]; // the block cache's bucket lists for this table and side
};

extern RegisteredSide Registered[TABLE_COUNT][2];
// No table registered: probes answer at once.
extern bool NoTablesRegistered;

// The "NalimovPath" handler: forgets every registration and registers the tables found in the
// folders of `paths` (separated by "," or ";"); the first folder that has a file wins. Returns
// the largest number of pieces of a registered table (0 for none). Files that do not fit their
// table are skipped with a message.
int InitTablebases(std::string_view paths);

// Closes every open tablebase file (they reopen on demand).
void closeTablebaseFiles();
// Stops using an extent whose file failed during the search, with a message.
void disableExtent(int id, int side, int extent, const char *reason);

// What the tablebases have to tell the interface.
enum class NewsKind : std::uint8_t {
    FILE_SIZE,       // a plain file of `size` bytes where `expected` were due: skipped
    FILE_BROKEN,     // a compressed file that cannot be read (`reason`): skipped
    BLOCK_SIZE,      // a compressed file of blocks of `size` bytes: skipped
    FILE_CONTENT,    // a compressed file that holds `size` bytes where `expected` were due: skipped
    FILE_FAILED,     // a file that failed while being read (`reason`): no longer used
    REGISTERED,      // the path's tables: `registered` files, `skipped` files, up to `pieces` pieces
    NO_CACHE_MEMORY, // no memory for a block cache of `size` bytes: no tablebases
    SYZYGY_SKIPPED,  // a Syzygy file at `path` that is not used (`reason`)
    SYZYGY_LOADED,   // the Syzygy path's tables: `registered` tables in `size` files, up to `pieces`
                     // pieces, `skipped` files left out
};

struct TablebaseNews {
    NewsKind kind;
    const char *path = "";
    const char *reason = "";
    std::uint64_t size = 0, expected = 0;
    int registered = 0, skipped = 0, pieces = 0;
};

// Where the news goes. Start-up installs the engine's printer; until then it is dropped.
using NewsFunction = void (*)(const TablebaseNews &news);
extern NewsFunction NewsHook;

} // namespace tablebases

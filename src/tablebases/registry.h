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
// Room for a line of tablebase news and its NUL; longer text is cut.
constexpr std::size_t TABLEBASE_MESSAGE_SIZE = 511;

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

// Where a line of tablebase news goes (the text alone: no prefix, no line end). Start-up installs
// the engine's printer; until then the news is dropped.
using MessageFunction = void (*)(const char *text);
extern MessageFunction MessageHook;

// Formats one line of tablebase news and hands it to MessageHook.
void tablebaseMessage(const char *format, ...);

} // namespace tablebases

// The block cache: decoded 8192-byte blocks of the registered files, found through 32 buckets
// per table and side, replaced least recently used first.
#pragma once

#include <cstdint>

namespace tablebases {

// The "NalimovCache" handler: allocates a cache of that many megabytes, replacing the old one.
void InitTablebaseCache();
// The same with an explicit size; without memory the engine runs without tablebases.
void allocateTablebaseCache(int megabytes);
// Puts every entry back on the free list (the registrations changed).
void clearTablebaseCache();
// Number of entries (blocks) the cache holds, and blocks read from files so far.
int tablebaseCacheEntries();
std::uint64_t tablebaseBlockLoads();

// The byte at `offset` of a table side's data (all extents together), read through the cache.
// False when there is no cache or the block cannot be read.
bool readTableByte(int id, int side, std::uint64_t offset, std::uint8_t &byte);

} // namespace tablebases

#include "tablebases/cache.h"

#include "base/options.h"
#include "platform/platform.h"
#include "tablebases/registry.h"

#include <cstring>
#include <memory>
#include <new>

namespace tablebases {

namespace {

constexpr std::uint32_t BLOCK_BYTES = 8192;
constexpr std::uint64_t ENTRY_FOOTPRINT = 8284; // entry header and data area, as the option counts them
constexpr int EXTENT_BLOCK_BITS = 18;           // 2^31 bytes per extent
constexpr std::uint8_t NO_VALUE_BYTE = 127;

struct CacheEntry {
    std::int16_t table;
    std::int8_t side;
    std::uint32_t block;
    std::int32_t prev, next;             // most recently used list; `next` also links the free list
    std::int32_t bucketPrev, bucketNext; // the bucket of its table and side
    std::uint8_t *data;
};

std::unique_ptr<CacheEntry[]> Entries;
std::unique_ptr<std::uint8_t[]> BlockData;
int EntryCount = 0;
std::int32_t Newest = -1, Oldest = -1, FreeList = -1;
std::uint8_t Compressed[BLOCK_BYTES]; // the shared decoding area
std::uint64_t BlockLoads = 0;

void unlinkGlobal(const CacheEntry &e) {
    (e.prev >= 0 ? Entries[e.prev].next : Newest) = e.next;
    (e.next >= 0 ? Entries[e.next].prev : Oldest) = e.prev;
}

void linkGlobalFront(CacheEntry &e, std::int32_t self) {
    e.prev = -1;
    e.next = Newest;
    if (Newest >= 0) Entries[Newest].prev = self;
    Newest = self;
    if (Oldest < 0) Oldest = self;
}

void unlinkBucket(CacheEntry &e) {
    std::int32_t *heads = Registered[e.table][e.side].heads;
    (e.bucketPrev >= 0 ? Entries[e.bucketPrev].bucketNext : heads[e.block & (CACHE_BUCKETS - 1)]) =
        e.bucketNext;
    if (e.bucketNext >= 0) Entries[e.bucketNext].bucketPrev = e.bucketPrev;
}

void linkBucketFront(CacheEntry &e, std::int32_t self) {
    std::int32_t &head = Registered[e.table][e.side].heads[e.block & (CACHE_BUCKETS - 1)];
    e.bucketPrev = -1;
    e.bucketNext = head;
    if (head >= 0) Entries[head].bucketPrev = self;
    head = self;
}

// Reads (or decodes) one block of an extent into `out`; false on any failure.
bool loadBlock(ExtentFile &f, std::uint32_t block, std::uint8_t *out, const char *&reason) {
    reason = "cannot be read";
    if (!f.handle) {
        f.handle = std::fopen(f.path.c_str(), "rb");
        if (!f.handle) {
            closeTablebaseFiles(); // perhaps too many open files: try once more
            f.handle = std::fopen(f.path.c_str(), "rb");
        }
        if (!f.handle) return false;
    }
    if (!f.header) {
        if (!platform::seekFile(f.handle, std::uint64_t(block) * BLOCK_BYTES)) return false;
        std::size_t n = std::fread(out, 1, BLOCK_BYTES, f.handle);
        if (std::ferror(f.handle)) return false;
        std::memset(out + n, NO_VALUE_BYTE, BLOCK_BYTES - n);
        return true;
    }
    const ContainerHeader &h = *f.header;
    if (block >= h.blockCount) return false;
    std::uint64_t at = h.blockOffset[block];
    std::uint32_t length = std::uint32_t(h.blockOffset[block + 1] - at);
    if (!platform::seekFile(f.handle, at) || std::fread(Compressed, 1, length, f.handle) != length)
        return false;
    reason = "a block is broken";
    return decodeTbBlock(h, block, Compressed, length, out) >= 0;
}

} // namespace

void clearTablebaseCache() {
    Newest = Oldest = -1;
    FreeList = EntryCount ? 0 : -1;
    for (int i = 0; i < EntryCount; ++i)
        Entries[i].next = i + 1 < EntryCount ? i + 1 : -1;
    for (auto &table : Registered)
        for (RegisteredSide &side : table)
            for (std::int32_t &h : side.heads)
                h = -1;
}

void allocateTablebaseCache(int megabytes) {
    closeTablebaseFiles();
    Entries.reset();
    BlockData.reset();
    EntryCount = 0;
    std::uint64_t bytes = std::uint64_t(megabytes) << 20;
    int count = int(bytes / ENTRY_FOOTPRINT);
    Entries.reset(new (std::nothrow) CacheEntry[std::size_t(count)]);
    BlockData.reset(new (std::nothrow) std::uint8_t[std::size_t(count) * BLOCK_BYTES]);
    if (!Entries || !BlockData) {
        Entries.reset();
        BlockData.reset();
        NewsHook({NewsKind::NO_CACHE_MEMORY, "", "", bytes});
    } else {
        EntryCount = count;
        for (int i = 0; i < count; ++i)
            Entries[i].data = BlockData.get() + std::size_t(i) * BLOCK_BYTES;
    }
    clearTablebaseCache();
}

void InitTablebaseCache() { allocateTablebaseCache(base::optionInt(base::OPTION_NALIMOV_CACHE)); }

int tablebaseCacheEntries() { return EntryCount; }

std::uint64_t tablebaseBlockLoads() { return BlockLoads; }

bool readTableByte(int id, int side, std::uint64_t offset, std::uint8_t &byte) {
    RegisteredSide &r = Registered[id][side];
    if (!EntryCount || !r.any) return false;
    std::uint32_t block = std::uint32_t(offset / BLOCK_BYTES), within = std::uint32_t(offset % BLOCK_BYTES);
    // 1. A hit moves to the front of both lists.
    for (std::int32_t i = r.heads[block & (CACHE_BUCKETS - 1)]; i >= 0; i = Entries[i].bucketNext) {
        CacheEntry &e = Entries[i];
        if (e.block != block) continue;
        if (Newest != i) unlinkGlobal(e), linkGlobalFront(e, i);
        if (r.heads[block & (CACHE_BUCKETS - 1)] != i) unlinkBucket(e), linkBucketFront(e, i);
        byte = e.data[within];
        return true;
    }
    // 2. A miss takes a free entry or the least recently used one.
    std::int32_t i = FreeList;
    if (i >= 0) {
        FreeList = Entries[i].next;
    } else {
        i = Oldest;
        unlinkGlobal(Entries[i]);
        unlinkBucket(Entries[i]);
    }
    CacheEntry &e = Entries[i];
    e.table = std::int16_t(id), e.side = std::int8_t(side), e.block = block;
    // 3. Split tables: the high bits of the block number choose the extent.
    int extent = Tables[id].flags & TABLE_SPLIT ? int(block >> EXTENT_BLOCK_BITS) : 0;
    std::uint32_t local = Tables[id].flags & TABLE_SPLIT ? block & ((1u << EXTENT_BLOCK_BITS) - 1) : block;
    ExtentFile &f = Registered[id][side].extent[extent < MAX_EXTENTS ? extent : 0];
    const char *reason = nullptr;
    ++BlockLoads;
    if (extent >= MAX_EXTENTS || f.path.empty() || !loadBlock(f, local, e.data, reason)) {
        if (reason) disableExtent(id, side, extent, reason);
        e.next = FreeList;
        FreeList = i;
        return false;
    }
    linkGlobalFront(e, i);
    linkBucketFront(e, i);
    byte = e.data[within];
    return true;
}

} // namespace tablebases

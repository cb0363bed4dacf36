// Compressed tablebase files. The first byte's bit 0 sends the rest through the registry and the
// block cache (as the file kqk.nbw.emd), otherwise straight to the header and block decoders;
// bit 1 first renames the banner and corrects the header checksum, so mutations get past the
// checksums into the header fields, the code description and the blocks.
#include "fuzz_support.h"

#include "tablebases/cache.h"
#include "tablebases/container.h"
#include "tablebases/probe.h"
#include "tablebases/registry.h"

#include <sys/stat.h>

using namespace tablebases;

namespace {

constexpr std::uint32_t MAX_BLOCKS = 64;

void repairChecksum(std::vector<std::uint8_t> &bytes) {
    if (bytes.size() < CONTAINER_PREFIX) return;
    bytes[57] = bytes[57] == '!' ? '?' : '!'; // not this program's banner: no block checksums
    std::uint32_t length = containerHeaderLength(bytes.data(), bytes.size());
    if (length == 0 || length > bytes.size()) return;
    std::uint32_t sum = containerChecksum(bytes.data(), length - 4);
    for (int i = 0; i < 4; ++i)
        bytes[length - 4 + std::size_t(i)] = std::uint8_t(sum >> (24 - 8 * i));
}

void decodeDirectly(const std::vector<std::uint8_t> &bytes) {
    ContainerHeader header;
    if (readTbHeader(bytes.data(), bytes.size(), header) != CONTAINER_OK) return;
    FUZZ_CHECK(header.blockOffset.size() == header.blockCount + 1u);
    std::vector<std::uint8_t> out(header.blockSize);
    for (std::uint32_t b = 0; b < header.blockCount && b < MAX_BLOCKS; ++b) {
        std::uint64_t start = header.blockOffset[b], end = header.blockOffset[b + 1];
        if (end > bytes.size()) break;
        int n = decodeTbBlock(header, b, bytes.data() + start, std::uint32_t(end - start), out.data());
        FUZZ_CHECK(n < 0 || std::uint32_t(n) <= header.blockSize);
    }
}

void readThroughCache(const std::vector<std::uint8_t> &bytes) {
    static bool prepared = false;
    if (!prepared) {
        prepared = true;
        mkdir("tb", 0755);
        allocateTablebaseCache(1);
    }
    fuzz::writeFile("tb/kqk.nbw.emd", {reinterpret_cast<const char *>(bytes.data()), bytes.size()});
    InitTablebases("tb");
    int id = findTable("kqk");
    std::uint64_t size = Tables[id].sideSize(0);
    for (std::uint64_t offset = 0; offset < size; offset += 8192 / 4) {
        int value = tableValue(id, 0, offset);
        FUZZ_CHECK(value == NO_VALUE || (value >= -32767 && value <= 32767));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1 || size > 1 << 16) return 0;
    fuzz::initEngineOnce();
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    if (data[0] & 2) repairChecksum(bytes);
    if (data[0] & 1)
        readThroughCache(bytes);
    else
        decodeDirectly(bytes);
    return 0;
}

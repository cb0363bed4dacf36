#include "tablebases/container.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tablebases {

namespace {

constexpr std::array<std::uint32_t, 256> CHECKSUM_TABLE = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t v = i;
        for (int k = 0; k < 8; ++k)
            v = (v & 1) ? v >> 1 : (v >> 1) ^ 0xEDB88320u;
        t[i] = v;
    }
    return t;
}();

constexpr int BANNER_TEXT = 58;
constexpr int AUX_LOOKUP_BITS = 8, BLOCK_LOOKUP_BITS = 13;
constexpr int SHORT_DESCRIPTION = 128; // up to this many lengths are written plainly

std::uint32_t bigEndian32(const std::uint8_t *p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

bool bannerShape(const std::uint8_t *p) {
    for (int i = 0; i < BANNER_TEXT; ++i)
        if (p[i] < 0x20 || p[i] > 0x7E) return false;
    return p[58] == '\r' && p[59] == '\n' && !p[60] && !p[61] && !p[62] && !p[63];
}

} // namespace

const std::uint8_t CONTAINER_BANNER[64] = {'V', 'o', 'r', 'l', 'a', 'n', ' ',  't',  'a', 'b', 'l', 'e', 'b',
                                           'a', 's', 'e', ' ', 'b', 'l', 'o',  'c',  'k', 's', ',', ' ', 'L',
                                           'Z', ' ', '+', ' ', 'c', 'a', 'n',  'o',  'n', 'i', 'c', 'a', 'l',
                                           ' ', 'H', 'u', 'f', 'f', 'm', 'a',  'n',  ' ', ' ', ' ', ' ', ' ',
                                           ' ', ' ', ' ', ' ', ' ', ' ', '\r', '\n', 0,   0,   0,   0};

const char *containerErrorText(ContainerError e) {
    switch (e) {
    case CONTAINER_READ_ERROR: return "read error";
    case CONTAINER_OUT_OF_MEMORY: return "out of memory";
    case CONTAINER_BROKEN: return "file broken";
    default: return "no error";
    }
}

std::uint32_t BitReader::peek(int n) const {
    if (n == 0) return 0;
    std::uint64_t byte = bit >> 3, window = 0;
    if (byte + 8 <= size) {
        const std::uint8_t *p = data + byte;
        window = std::uint64_t(p[0]) << 56 | std::uint64_t(p[1]) << 48 | std::uint64_t(p[2]) << 40 |
                 std::uint64_t(p[3]) << 32 | std::uint64_t(p[4]) << 24 | std::uint64_t(p[5]) << 16 |
                 std::uint64_t(p[6]) << 8 | std::uint64_t(p[7]);
    } else {
        for (int i = 0; i < 8; ++i)
            window = window << 8 | (byte + std::uint64_t(i) < size ? data[byte + std::uint64_t(i)] : 0);
    }
    window <<= bit & 7;
    return std::uint32_t(window >> (64 - n));
}

std::uint32_t containerChecksum(const std::uint8_t *bytes, std::size_t n) {
    std::uint32_t c = 0;
    for (std::size_t i = 0; i < n; ++i)
        c = CHECKSUM_TABLE[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c;
}

std::uint32_t containerHeaderLength(const std::uint8_t *first, std::size_t n) {
    if (n < CONTAINER_PREFIX || !bannerShape(first)) return 0;
    std::uint32_t h = bigEndian32(first + 64);
    return h >= CONTAINER_PREFIX + 4 ? h : 0;
}

bool buildCode(const std::uint8_t *lengths, int count, int lookupBits, HuffmanCode &code) {
    code = HuffmanCode{};
    code.lookupBits = lookupBits;
    std::uint64_t kraft = 0;
    int used = 0;
    for (int s = 0; s < count; ++s) {
        if (lengths[s] > MAX_CODE_LENGTH) return false;
        if (!lengths[s]) continue;
        ++code.count[lengths[s]];
        kraft += std::uint64_t(1) << (MAX_CODE_LENGTH - lengths[s]);
        ++used;
        code.singleSymbol = std::uint16_t(s);
    }
    if (used == 0) return true;
    code.empty = false;
    if (used == 1 && code.count[1] == 1) {
        code.single = true;
        return true;
    }
    if (kraft != std::uint64_t(1) << MAX_CODE_LENGTH) return false;
    std::uint32_t next = 0, index = 0;
    for (int len = 1; len <= MAX_CODE_LENGTH; ++len) {
        next = (next + code.count[len - 1]) << 1;
        code.firstCode[len] = next;
        code.firstIndex[len] = index;
        index += code.count[len];
    }
    code.sorted.resize(std::size_t(used));
    std::uint32_t fill[MAX_CODE_LENGTH + 2];
    std::copy(std::begin(code.firstIndex), std::end(code.firstIndex), fill);
    for (int s = 0; s < count; ++s)
        if (lengths[s]) code.sorted[fill[lengths[s]]++] = std::uint16_t(s);
    code.lookup.assign(std::size_t(1) << lookupBits, 0);
    for (int len = 1; len <= lookupBits; ++len)
        for (std::uint32_t i = 0; i < code.count[len]; ++i) {
            std::uint32_t c = code.firstCode[len] + i, shift = std::uint32_t(lookupBits - len);
            std::uint32_t entry =
                std::uint32_t(code.sorted[code.firstIndex[len] + i]) << 5 | std::uint32_t(len);
            for (std::uint32_t low = 0; low < (1u << shift); ++low)
                code.lookup[(c << shift) | low] = entry;
        }
    return true;
}

int decodeSymbol(const HuffmanCode &code, BitReader &in) {
    if (code.empty) return -1;
    if (code.single) return code.singleSymbol;
    std::uint32_t entry = code.lookup[in.peek(code.lookupBits)];
    if (entry) {
        in.bit += entry & 31;
        return in.overrun() ? -1 : int(entry >> 5);
    }
    std::uint32_t c = in.read(code.lookupBits);
    for (int len = code.lookupBits + 1; len <= MAX_CODE_LENGTH; ++len) {
        c = c << 1 | in.read(1);
        if (c - code.firstCode[len] < code.count[len] && c >= code.firstCode[len])
            return in.overrun() ? -1 : code.sorted[code.firstIndex[len] + (c - code.firstCode[len])];
    }
    return -1;
}

bool readCodeLengths(BitReader &in, int count, std::uint8_t *lengths) {
    std::fill(lengths, lengths + count, 0);
    if (in.read(1)) return !in.overrun();
    int i = 0;
    if (count <= SHORT_DESCRIPTION) {
        int width = int(in.read(5));
        while (i < count) {
            std::uint32_t len = in.read(width);
            if (len > MAX_CODE_LENGTH) return false;
            lengths[i++] = std::uint8_t(len);
            if (len == 0) {
                int run = int(in.read(4));
                if (i + run > count) return false;
                i += run; // already zero
            }
            if (in.overrun()) return false;
        }
        return true;
    }
    std::uint8_t aux[SHORT_DESCRIPTION];
    if (!readCodeLengths(in, SHORT_DESCRIPTION, aux)) return false;
    HuffmanCode a, b;
    if (!buildCode(aux, 64, AUX_LOOKUP_BITS, a) || !buildCode(aux + 64, 64, AUX_LOOKUP_BITS, b)) return false;
    while (i < count) {
        int v = decodeSymbol(a, in);
        if (v < 0) return false;
        if (v < 32) {
            lengths[i++] = std::uint8_t(v);
            continue;
        }
        int c = decodeSymbol(b, in);
        if (c < 0) return false;
        std::uint64_t run = std::uint64_t(c);
        if (c > 31) {
            int k = c - 32;
            run = (std::uint64_t(1) << k) + in.read(k) + 31;
        }
        if (in.overrun() || std::uint64_t(i) + run + 2 > std::uint64_t(count)) return false;
        for (std::uint64_t r = 0; r < run + 2; ++r)
            lengths[i++] = std::uint8_t(v - 32);
    }
    return true;
}

ContainerError readTbHeader(const std::uint8_t *bytes, std::size_t n, ContainerHeader &h) {
    // 1. The fixed fields.
    h = ContainerHeader{};
    std::uint32_t length = containerHeaderLength(bytes, n);
    if (length == 0 || length > n) return CONTAINER_BROKEN;
    int blockBits = bytes[70];
    std::uint32_t blocks = bigEndian32(bytes + 72);
    if (blockBits > 16 || blockBits < 1 || bytes[71] != DISTANCE_SLOTS ||
        bigEndian32(bytes + 76) != CONTAINER_CONSTANT || blocks == 0)
        return CONTAINER_BROKEN;
    if (containerChecksum(bytes, length - 4) != bigEndian32(bytes + length - 4)) return CONTAINER_BROKEN;
    std::uint64_t fields = CONTAINER_PREFIX + 8 * std::uint64_t(blocks);
    if (fields > length - 4) return CONTAINER_BROKEN;
    h.headerLength = length;
    h.blockBits = blockBits;
    h.blockSize = 1u << blockBits;
    h.blockCount = blocks;
    // 2. Compressed lengths, the last block's length, the distances.
    BitReader in{bytes + fields, length - 4 - fields};
    auto field = [&] {
        std::uint32_t v = in.read(blockBits);
        return v ? v : h.blockSize;
    };
    h.blockOffset.resize(std::size_t(blocks) + 1);
    h.blockOffset[0] = length;
    for (std::uint32_t b = 0; b < blocks; ++b)
        h.blockOffset[b + 1] = h.blockOffset[b] + field();
    h.lastBlockLength = field();
    for (std::uint32_t &d : h.distance)
        d = field();
    for (std::uint32_t b = 0; b < blocks; ++b) {
        std::uint32_t decoded = b + 1 == blocks ? h.lastBlockLength : h.blockSize;
        if (h.blockOffset[b + 1] - h.blockOffset[b] > decoded) return CONTAINER_BROKEN;
    }
    h.decodedSize = std::uint64_t(blocks - 1) * h.blockSize + h.lastBlockLength;
    if (std::equal(bytes, bytes + 64, CONTAINER_BANNER)) {
        h.blockChecksum.resize(blocks);
        for (std::uint32_t b = 0; b < blocks; ++b)
            h.blockChecksum[b] = bigEndian32(bytes + CONTAINER_PREFIX + 8 * std::size_t(b) + 4);
    }
    // 3. The code description starts on the next whole byte.
    in.bit = (in.bit + 7) & ~std::uint64_t(7);
    std::uint8_t lengths[BLOCK_SYMBOLS];
    if (in.overrun() || !readCodeLengths(in, BLOCK_SYMBOLS, lengths)) return CONTAINER_BROKEN;
    if (!buildCode(lengths, BLOCK_SYMBOLS, BLOCK_LOOKUP_BITS, h.code)) return CONTAINER_BROKEN;
    return CONTAINER_OK;
}

int decodeTbBlock(const ContainerHeader &h, std::uint32_t block, const std::uint8_t *compressed,
                  std::uint32_t length, std::uint8_t *out) {
    if (block >= h.blockCount) return -1;
    std::uint32_t decoded = block + 1 == h.blockCount ? h.lastBlockLength : h.blockSize;
    if (!h.blockChecksum.empty() && containerChecksum(compressed, length) != h.blockChecksum[block])
        return -1;
    if (length == decoded) {
        std::memcpy(out, compressed, decoded);
        return int(decoded);
    }
    BitReader in{compressed, length};
    std::uint32_t at = 0;
    while (at < decoded) {
        int s = decodeSymbol(h.code, in);
        if (s < 0) return -1;
        if (s < 256) {
            out[at++] = std::uint8_t(s);
            continue;
        }
        int slot = (s - 256) >> 5, code = (s - 256) & 31;
        std::uint32_t n = std::uint32_t(code) + 1;
        if (code > 14) {
            int k = code - 14;
            n = (1u << k) + in.read(k) + 14;
        }
        std::uint32_t d = h.distance[slot];
        if (in.overrun() || d == 0 || d > at || n > decoded - at) return -1;
        if (d == 1) {
            std::memset(out + at, out[at - 1], n);
        } else if (d >= n) {
            std::memcpy(out + at, out + at - d, n);
        } else {
            for (std::uint32_t i = 0; i < n; ++i) // the source overlaps the bytes being written
                out[at + i] = out[at + i - d];
        }
        at += n;
    }
    return int(decoded);
}

} // namespace tablebases

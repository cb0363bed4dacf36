// The compressed table container (.emd files): a header, then independently compressed blocks.
// Each block is LZ-coded with 24 fixed match distances per file, literals and matches coded by
// one canonical Huffman code per file. All header numbers are big-endian; bit streams are read
// most significant bit first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tablebases {

constexpr std::size_t CONTAINER_PREFIX = 80; // bytes before the per-block checksums
constexpr int DISTANCE_SLOTS = 24;
constexpr int BLOCK_SYMBOLS = 1024; // 256 literals, then 24 slots x 32 length codes
constexpr std::uint32_t CONTAINER_CONSTANT = 0x004001F5;
constexpr int MAX_CODE_LENGTH = 31;

enum ContainerError { CONTAINER_OK, CONTAINER_READ_ERROR, CONTAINER_OUT_OF_MEMORY, CONTAINER_BROKEN };
const char *containerErrorText(ContainerError e);

// A canonical Huffman code ready for decoding: a lookup table for the short codes, per-length
// ranges for the rest.
struct HuffmanCode {
    int lookupBits = 0;
    bool empty = true;
    bool single = false; // one symbol of length 1: decoded without reading a bit
    std::uint16_t singleSymbol = 0;
    std::vector<std::uint32_t> lookup; // symbol << 5 | length; 0 for longer codes
    std::uint32_t firstCode[MAX_CODE_LENGTH + 2] = {};
    std::uint32_t count[MAX_CODE_LENGTH + 2] = {};
    std::uint32_t firstIndex[MAX_CODE_LENGTH + 2] = {};
    std::vector<std::uint16_t> sorted; // symbols by (length, symbol)
};

struct ContainerHeader {
    std::uint32_t headerLength = 0;
    std::uint32_t blockSize = 0; // 2^b
    int blockBits = 0;
    std::uint32_t blockCount = 0;
    std::uint32_t lastBlockLength = 0;
    std::uint64_t decodedSize = 0;
    std::vector<std::uint64_t> blockOffset; // file offsets; blockOffset[n] is the end
    std::uint32_t distance[DISTANCE_SLOTS] = {};
    HuffmanCode code;
    // Checksums of the compressed blocks, kept for containers with this program's banner (whose
    // checksum rule is known) and checked before decoding; empty otherwise.
    std::vector<std::uint32_t> blockChecksum;
};

// Bit stream over a byte range, most significant bit first; reads past the end give zeros and
// set overrun.
struct BitReader {
    const std::uint8_t *data;
    std::uint64_t size;
    std::uint64_t bit = 0;
    std::uint32_t peek(int n) const;
    std::uint32_t read(int n) {
        std::uint32_t v = peek(n);
        bit += std::uint64_t(n);
        return v;
    }
    bool overrun() const { return bit > size * 8; }
};

// The header checksum: a byte-wise table code with the table rule reversed, no final inversion.
std::uint32_t containerChecksum(const std::uint8_t *bytes, std::size_t n);
// The header length from the first 80 bytes; 0 when they are not a container's.
std::uint32_t containerHeaderLength(const std::uint8_t *first, std::size_t n);
// Parses and checks a whole header (`n` bytes, at least the header length).
ContainerError readTbHeader(const std::uint8_t *bytes, std::size_t n, ContainerHeader &header);
// Decodes block `block` from its `length` compressed bytes into out (room for blockSize bytes).
// Returns the decoded length, or -1 when the block is broken (or fails its checksum).
int decodeTbBlock(const ContainerHeader &header, std::uint32_t block, const std::uint8_t *compressed,
                  std::uint32_t length, std::uint8_t *out);

// Reads code lengths as the container describes them; false when the description is broken.
bool readCodeLengths(BitReader &in, int count, std::uint8_t *lengths);
// Builds a canonical code; false unless the lengths form a complete code (or the empty or the
// single-symbol code).
bool buildCode(const std::uint8_t *lengths, int count, int lookupBits, HuffmanCode &code);
// The next symbol, or -1 when the bits match no code.
int decodeSymbol(const HuffmanCode &code, BitReader &in);

// The fixed 64 bytes that open every container this program writes; readers accept any
// 58-character printable banner followed by CR, LF and four zero bytes.
extern const std::uint8_t CONTAINER_BANNER[64];

} // namespace tablebases

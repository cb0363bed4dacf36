// The compressed container: round trips through the generator's encoder and the reader, the
// decoder's corner cases, and damaged headers and blocks.
#include "tablebases/tb_support.h"

#include "tablebases/container.h"
#include "tablebases/probe.h"
#include "tbgen/compress.h"
#include "tbgen/store.h"

#include <gtest/gtest.h>

using namespace tablebases;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Decodes every block of a container; false when any block fails.
bool decodeAll(const Bytes &file, Bytes &out, ContainerHeader &h) {
    if (readTbHeader(file.data(), file.size(), h) != CONTAINER_OK) return false;
    out.assign(h.decodedSize, 0);
    for (std::uint32_t b = 0; b < h.blockCount; ++b) {
        std::uint64_t at = h.blockOffset[b];
        if (h.blockOffset[b + 1] > file.size()) return false;
        if (decodeTbBlock(h, b, file.data() + at, std::uint32_t(h.blockOffset[b + 1] - at),
                          out.data() + 8192ull * b) < 0)
            return false;
    }
    return true;
}

Bytes tableBytes(const char *name, int side) {
    const auto &v = tbgen::Loaded[findTable(name)].side[side];
    return Bytes(v.begin(), v.end());
}

// The table's values in the two-byte layout (low byte first).
Bytes twoByteForm(const Bytes &oneByte) {
    Bytes out;
    for (std::uint8_t b : oneByte) {
        std::uint16_t v = std::uint16_t(valueOfByte(std::int8_t(b)));
        out.push_back(std::uint8_t(v & 0xFF));
        out.push_back(std::uint8_t(v >> 8));
    }
    return out;
}

} // namespace

// One-byte and two-byte tables, a short last block and a full one (whose length field is 0).
TEST(TablebaseContainer, GeneratedTablesSurviveCompression) {
    ASSERT_TRUE(tbtest::makeTestTables());
    struct Case {
        const char *what;
        Bytes data;
        std::uint32_t lastBlock;
    };
    Bytes krknTwoByte = twoByteForm(tableBytes("krkn", 1));
    const Case cases[] = {{"kqk, short last block", tableBytes("kqk", 0), 25635 % 8192},
                          {"krkn", tableBytes("krkn", 0), 1649196 % 8192},
                          {"krkn in two bytes", krknTwoByte, std::uint32_t(krknTwoByte.size() % 8192)},
                          {"two full blocks", Bytes(16384, 7), 8192}};
    for (const Case &c : cases) {
        Bytes file = tbgen::compressTable(c.data.data(), c.data.size(), 2), back;
        ContainerHeader h;
        ASSERT_TRUE(decodeAll(file, back, h)) << c.what;
        EXPECT_EQ(h.lastBlockLength, c.lastBlock) << c.what;
        EXPECT_TRUE(back == c.data) << c.what;
        EXPECT_LT(file.size(), c.data.size() / 2) << c.what;
    }
    // The two-byte form reads back as the same values.
    Bytes one = tableBytes("krkn", 1);
    for (std::size_t i = 0; i < one.size(); i += 997)
        EXPECT_EQ(valueOfBytes(krknTwoByte[2 * i], krknTwoByte[2 * i + 1]), valueOfByte(std::int8_t(one[i])));
}

// A literal, a match of length code 15 with its extra bit (17 bytes), one of code 3 (4 bytes),
// all at distance 1; and a code of one symbol, which takes no bits at all.
TEST(TablebaseContainer, DecoderCornerCases) {
    ContainerHeader h;
    h.blockCount = 1, h.blockSize = 8192, h.lastBlockLength = 22, h.distance[0] = 1;
    std::uint8_t lengths[BLOCK_SYMBOLS] = {};
    lengths['a'] = lengths['b'] = lengths[256 + 3] = lengths[256 + 15] = 2; // codes 00 01 10 11
    ASSERT_TRUE(buildCode(lengths, BLOCK_SYMBOLS, 13, h.code));
    const std::uint8_t stream[] = {0x3C}; // 00 | 11 1 | 10
    std::uint8_t out[8192];
    ASSERT_EQ(decodeTbBlock(h, 0, stream, 1, out), 22);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(out), 22), std::string(22, 'a'));

    std::uint8_t single[BLOCK_SYMBOLS] = {};
    single['b'] = 1;
    ASSERT_TRUE(buildCode(single, BLOCK_SYMBOLS, 13, h.code));
    h.lastBlockLength = 5;
    ASSERT_EQ(decodeTbBlock(h, 0, stream, 1, out), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(out), 5), "bbbbb");

    // Incomplete or over-full codes are refused.
    std::uint8_t incomplete[BLOCK_SYMBOLS] = {};
    incomplete['a'] = 1, incomplete['b'] = 2;
    EXPECT_FALSE(buildCode(incomplete, BLOCK_SYMBOLS, 13, h.code));
    incomplete['c'] = 1;
    EXPECT_FALSE(buildCode(incomplete, BLOCK_SYMBOLS, 13, h.code));
}

// Truncation and single flipped bits anywhere in the header are found when it is read; a
// flipped bit in a block makes that block fail. None of them crashes the reader.
TEST(TablebaseContainer, DamageIsDetected) {
    ASSERT_TRUE(tbtest::makeTestTables());
    Bytes data = tableBytes("krk", 1);
    Bytes file = tbgen::compressTable(data.data(), data.size(), 2), back;
    ContainerHeader h;
    ASSERT_TRUE(decodeAll(file, back, h));
    std::uint32_t headerLength = h.headerLength;
    for (std::size_t cut : {std::size_t(10), std::size_t(79), std::size_t(headerLength - 1)})
        EXPECT_NE(readTbHeader(file.data(), cut, h), CONTAINER_OK) << "cut at " << cut;
    for (std::size_t at = 0; at < headerLength; at += 3) {
        Bytes bad = file;
        bad[at] ^= std::uint8_t(1 << (at % 8));
        EXPECT_NE(readTbHeader(bad.data(), bad.size(), h), CONTAINER_OK) << "header byte " << at;
    }
    int caught = 0, blocks = 0;
    for (std::size_t at = headerLength; at < file.size(); at += 97, ++blocks) {
        Bytes bad = file;
        bad[at] ^= 0x10;
        caught += !decodeAll(bad, back, h);
    }
    EXPECT_EQ(caught, blocks);
}

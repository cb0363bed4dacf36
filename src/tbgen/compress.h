// Writes table bytes as a compressed container (.emd), the format tablebases/container.h reads.
#pragma once

#include <cstdint>
#include <vector>

namespace tbgen {

// The whole file: header and blocks of 8192 table bytes (the last one may be short).
std::vector<std::uint8_t> compressTable(const std::uint8_t *data, std::uint64_t size, int threads);

// Huffman code lengths of at most maxLength bits for the given frequencies (0 for unused
// symbols); a lone used symbol gets length 1.
std::vector<std::uint8_t> codeLengths(const std::vector<std::uint64_t> &frequency, int maxLength);

} // namespace tbgen

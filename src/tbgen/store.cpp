#include "tbgen/store.h"

#include "tablebases/container.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tbgen {

using namespace tablebases;

TableData Loaded[TABLE_COUNT];

namespace {

bool readWhole(const std::string &path, std::vector<std::uint8_t> &bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) return false;
    bytes.clear();
    std::uint8_t buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    return !std::ferror(f.get());
}

bool loadSide(const TableInfo &t, int side, const std::string &directory, std::vector<std::int8_t> &out,
              std::string &error) {
    std::string base = directory + "/" + t.name + (side == 0 ? ".nbw" : ".nbb");
    std::uint64_t size = t.layout[side].size;
    std::vector<std::uint8_t> bytes;
    if (readWhole(base, bytes)) {
        if (bytes.size() != size) {
            error =
                base + " has " + std::to_string(bytes.size()) + " bytes, expected " + std::to_string(size);
            return false;
        }
        out.assign(bytes.begin(), bytes.end());
        return true;
    }
    if (!readWhole(base + ".emd", bytes)) {
        error = "no " + base + " or " + base + ".emd";
        return false;
    }
    ContainerHeader header;
    ContainerError problem = readTbHeader(bytes.data(), bytes.size(), header);
    if (problem != CONTAINER_OK) {
        error = base + ".emd: " + containerErrorText(problem);
        return false;
    }
    if (header.decodedSize != size) {
        error = base + ".emd holds " + std::to_string(header.decodedSize) + " positions, expected " +
                std::to_string(size);
        return false;
    }
    out.resize(size);
    for (std::uint32_t b = 0; b < header.blockCount; ++b) {
        std::uint64_t at = header.blockOffset[b];
        std::uint32_t length = std::uint32_t(header.blockOffset[b + 1] - at);
        if (decodeTbBlock(header, b, bytes.data() + at, length,
                          reinterpret_cast<std::uint8_t *>(out.data()) +
                              std::uint64_t(b) * header.blockSize) < 0) {
            error = base + ".emd: block " + std::to_string(b) + " is broken";
            return false;
        }
    }
    return true;
}

void addTable(const int *first, const int *second, std::vector<int> &ids) {
    int id = std::abs(lookupMaterial(first, second));
    if (id && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
}

} // namespace

bool loadTable(int id, const std::string &directory, std::string &error) {
    const TableInfo &t = Tables[id];
    TableData data;
    int sides = t.flags & TABLE_SYMMETRIC ? 1 : 2;
    for (int side = 0; side < sides; ++side)
        if (!loadSide(t, side, directory, data.side[side], error)) return false;
    data.present = true;
    Loaded[id] = std::move(data);
    return true;
}

std::vector<int> subtablesOf(int id) {
    const Material &m = Tables[id].material;
    int counts[2][KIND_COUNT] = {};
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < m.count[c]; ++i)
            ++counts[c][m.kinds[c][i]];
    std::vector<int> ids;
    for (int c = 0; c < 2; ++c) {
        int *mine = counts[c], *theirs = counts[1 - c];
        auto add = [&] { c == 0 ? addTable(mine, theirs, ids) : addTable(theirs, mine, ids); };
        for (int k = 0; k < KIND_COUNT; ++k) {
            if (!mine[k]) continue;
            --mine[k]; // captured
            add();
            ++mine[k];
        }
        if (!mine[KIND_PAWN]) continue;
        --mine[KIND_PAWN];
        for (int promoted = KIND_KNIGHT; promoted <= KIND_QUEEN; ++promoted) {
            ++mine[promoted];
            add();
            for (int k = 0; k < KIND_COUNT; ++k) {
                if (!theirs[k]) continue;
                --theirs[k]; // promotion with a capture
                add();
                ++theirs[k];
            }
            --mine[promoted];
        }
        ++mine[KIND_PAWN];
    }
    return ids;
}

} // namespace tbgen

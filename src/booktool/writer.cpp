#include "booktool/writer.h"

#include "book/table.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace booktool {

namespace {
constexpr std::uint32_t MAX_WEIGHT = 255;
}

std::vector<std::uint8_t> scaleWeights(const std::vector<std::uint32_t> &counts) {
    std::uint64_t most = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    std::vector<std::uint8_t> weights;
    for (std::uint64_t n : counts) {
        std::uint64_t w = most <= MAX_WEIGHT ? n : (n * MAX_WEIGHT + most / 2) / most;
        weights.push_back(std::uint8_t(std::clamp<std::uint64_t>(w, 1, MAX_WEIGHT)));
    }
    return weights;
}

bool writeBookSafely(const std::string &path, const std::vector<book::BookEntry> &entries,
                     std::string &error) {
    std::string temporary = path + ".part";
    std::error_code ec;
    if (!book::writeBookFile(temporary, entries)) {
        std::filesystem::remove(temporary, ec);
        error = "cannot write " + temporary;
        return false;
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        error = "cannot rename " + temporary + " to " + path;
        return false;
    }
    return true;
}

} // namespace booktool

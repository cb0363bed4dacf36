#include "tbgen/compress.h"

#include "tablebases/container.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <functional>
#include <queue>
#include <thread>

namespace tbgen {

using namespace tablebases;

namespace {

constexpr int BLOCK_BITS = 13;
constexpr std::uint32_t BLOCK = 1u << BLOCK_BITS;
constexpr int MIN_MATCH = 3;
constexpr int BLOCK_CODE_LIMIT = 24, AUX_CODE_LIMIT = 15;
constexpr std::uint32_t SAMPLE_BLOCKS = 64;
constexpr int CHAIN_LIMIT = 48;

struct BitWriter {
    std::vector<std::uint8_t> bytes;
    int used = 8; // bits used in the last byte
    void put(std::uint32_t value, int n) {
        for (int i = n - 1; i >= 0; --i) {
            if (used == 8) bytes.push_back(0), used = 0;
            bytes.back() |= std::uint8_t(((value >> i) & 1) << (7 - used));
            ++used;
        }
    }
    void align() { used = 8; }
};

// Canonical codes from lengths, for writing.
std::vector<std::uint32_t> canonicalCodes(const std::vector<std::uint8_t> &lengths) {
    std::uint32_t count[MAX_CODE_LENGTH + 2] = {}, next[MAX_CODE_LENGTH + 2] = {};
    for (std::uint8_t l : lengths)
        if (l) ++count[l];
    std::uint32_t code = 0;
    for (int len = 1; len <= MAX_CODE_LENGTH; ++len)
        next[len] = code = (code + count[len - 1]) << 1;
    std::vector<std::uint32_t> codes(lengths.size());
    for (std::size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s]) codes[s] = next[lengths[s]]++;
    return codes;
}

// One coded item of a block: a literal (byte) or a match (slot, length).
struct Token {
    int slot; // -1 for a literal
    std::uint32_t value;
};

int matchLengthCode(std::uint32_t n, std::uint32_t &extra, int &extraBits) {
    if (n <= 15) {
        extraBits = 0;
        return int(n - 1);
    }
    int k = 31 - std::countl_zero(n - 14);
    extraBits = k;
    extra = n - 14 - (1u << k);
    return 14 + k;
}

// Greedy parse with a one-step look-ahead over the fixed distances.
template <typename Emit>
void parseBlock(const std::uint8_t *p, std::uint32_t n, const std::uint32_t *distance, Emit &&emit) {
    auto longest = [&](std::uint32_t at, int &slot) {
        std::uint32_t best = 0;
        for (int k = 0; k < DISTANCE_SLOTS; ++k) {
            std::uint32_t d = distance[k];
            if (d > at || p[at] != p[at - d]) continue;
            std::uint32_t len = 1;
            while (at + len < n && p[at + len] == p[at + len - d])
                ++len;
            if (len > best) best = len, slot = k;
        }
        return best;
    };
    std::uint32_t at = 0;
    while (at < n) {
        int slot = 0, nextSlot = 0;
        std::uint32_t len = longest(at, slot);
        if (len >= MIN_MATCH && at + 1 < n && longest(at + 1, nextSlot) > len + 1) len = 0;
        if (len >= MIN_MATCH) {
            emit(Token{slot, len});
            at += len;
        } else {
            emit(Token{-1, p[at]});
            ++at;
        }
    }
}

// The 24 distances that would have saved the most bytes in a sample of the blocks.
void chooseDistances(const std::uint8_t *data, std::uint64_t size, std::uint32_t *distance) {
    std::vector<std::uint64_t> saved(BLOCK, 0);
    std::uint64_t blocks = (size + BLOCK - 1) / BLOCK;
    std::uint64_t step = std::max<std::uint64_t>(1, blocks / SAMPLE_BLOCKS);
    std::vector<std::int32_t> head(1 << 16), chain(BLOCK);
    for (std::uint64_t b = 0; b < blocks; b += step) {
        const std::uint8_t *p = data + b * BLOCK;
        std::uint32_t n = std::uint32_t(std::min<std::uint64_t>(BLOCK, size - b * BLOCK));
        std::fill(head.begin(), head.end(), -1);
        std::uint32_t at = 0;
        auto hash = [&](std::uint32_t i) { return ((p[i] * 251u + p[i + 1]) * 251u + p[i + 2]) & 0xFFFF; };
        auto insert = [&](std::uint32_t i) {
            if (i + 2 >= n) return;
            std::uint32_t h = hash(i);
            chain[i] = head[h];
            head[h] = std::int32_t(i);
        };
        while (at + 2 < n) {
            std::uint32_t best = 0, bestD = 0;
            int tries = 0;
            for (std::int32_t c = head[hash(at)]; c >= 0 && tries < CHAIN_LIMIT; c = chain[c], ++tries) {
                std::uint32_t d = at - std::uint32_t(c), len = 0;
                while (at + len < n && p[at + len] == p[at + len - d])
                    ++len;
                if (len > best) best = len, bestD = d;
            }
            std::uint32_t advance = best >= MIN_MATCH ? best : 1;
            if (best >= MIN_MATCH) saved[bestD] += best - 1;
            for (std::uint32_t i = 0; i < advance; ++i)
                insert(at + i);
            at += advance;
        }
    }
    std::vector<std::uint32_t> order(BLOCK - 1);
    for (std::uint32_t d = 1; d < BLOCK; ++d)
        order[d - 1] = d;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return saved[a] > saved[b]; });
    for (int k = 0; k < DISTANCE_SLOTS; ++k)
        distance[k] = order[std::size_t(k)];
}

// Writes the code lengths as readCodeLengths reads them.
void writeLengths(BitWriter &out, const std::vector<std::uint8_t> &lengths) {
    bool any = std::any_of(lengths.begin(), lengths.end(), [](std::uint8_t l) { return l != 0; });
    out.put(any ? 0 : 1, 1);
    if (!any) return;
    if (lengths.size() <= 128) {
        int width = 1;
        for (std::uint8_t l : lengths)
            while ((1u << width) <= l)
                ++width;
        out.put(std::uint32_t(width), 5);
        for (std::size_t i = 0; i < lengths.size();) {
            out.put(lengths[i], width);
            if (lengths[i++] != 0) continue;
            std::uint32_t run = 0;
            while (run < 15 && i + run < lengths.size() && lengths[i + run] == 0)
                ++run;
            out.put(run, 4);
            i += run;
        }
        return;
    }
    // Runs of equal lengths become a repeat symbol (A) with a run count (B).
    struct Item {
        int a, b = -1, extraBits = 0;
        std::uint32_t extra = 0;
    };
    std::vector<Item> items;
    for (std::size_t i = 0; i < lengths.size();) {
        std::size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == lengths[i])
            ++run;
        if (run < 3) {
            items.push_back({lengths[i]});
            ++i;
            continue;
        }
        std::uint32_t r = std::uint32_t(run - 2);
        Item item{32 + lengths[i]};
        if (r <= 31) {
            item.b = int(r);
        } else {
            int k = 31 - std::countl_zero(r - 31);
            item.b = 32 + k, item.extraBits = k, item.extra = r - 31 - (1u << k);
        }
        items.push_back(item);
        i += run;
    }
    std::vector<std::uint64_t> fa(64, 0), fb(64, 0);
    for (const Item &it : items) {
        ++fa[std::size_t(it.a)];
        if (it.b >= 0) ++fb[std::size_t(it.b)];
    }
    std::vector<std::uint8_t> la = codeLengths(fa, AUX_CODE_LIMIT), lb = codeLengths(fb, AUX_CODE_LIMIT);
    std::vector<std::uint8_t> aux(la);
    aux.insert(aux.end(), lb.begin(), lb.end());
    writeLengths(out, aux);
    std::vector<std::uint32_t> ca = canonicalCodes(la), cb = canonicalCodes(lb);
    auto putSymbol = [&](const std::vector<std::uint8_t> &len, const std::vector<std::uint32_t> &code, int s,
                         std::size_t used) {
        if (used > 1) out.put(code[std::size_t(s)], len[std::size_t(s)]); // a lone symbol takes no bits
    };
    std::size_t usedA = std::size_t(std::count_if(la.begin(), la.end(), [](std::uint8_t l) { return l; }));
    std::size_t usedB = std::size_t(std::count_if(lb.begin(), lb.end(), [](std::uint8_t l) { return l; }));
    for (const Item &it : items) {
        putSymbol(la, ca, it.a, usedA);
        if (it.b < 0) continue;
        putSymbol(lb, cb, it.b, usedB);
        out.put(it.extra, it.extraBits);
    }
}

void putBig(std::vector<std::uint8_t> &v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + std::size_t(i)] = std::uint8_t(x >> (24 - 8 * i));
}

void runThreads(int threads, std::uint64_t count, const std::function<void(std::uint64_t)> &work) {
    std::atomic<std::uint64_t> next{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < std::max(1, threads); ++t)
        pool.emplace_back([&] {
            for (std::uint64_t i; (i = next++) < count;)
                work(i);
        });
    for (auto &t : pool)
        t.join();
}

} // namespace

std::vector<std::uint8_t> codeLengths(const std::vector<std::uint64_t> &frequency, int maxLength) {
    std::vector<std::uint8_t> lengths(frequency.size(), 0);
    std::vector<std::uint64_t> f(frequency);
    for (;;) {
        using Node = std::pair<std::uint64_t, int>;
        std::priority_queue<Node, std::vector<Node>, std::greater<Node>> heap;
        std::vector<int> parent;
        for (std::size_t s = 0; s < f.size(); ++s)
            if (f[s]) {
                heap.push({f[s], int(parent.size())});
                parent.push_back(-1);
            }
        if (parent.empty()) return lengths;
        if (parent.size() == 1) {
            for (std::size_t s = 0; s < f.size(); ++s)
                if (f[s]) lengths[s] = 1;
            return lengths;
        }
        while (heap.size() > 1) {
            Node a = heap.top();
            heap.pop();
            Node b = heap.top();
            heap.pop();
            int node = int(parent.size());
            parent.push_back(-1);
            parent[std::size_t(a.second)] = parent[std::size_t(b.second)] = node;
            heap.push({a.first + b.first, node});
        }
        int longest = 0;
        std::size_t leaf = 0;
        for (std::size_t s = 0; s < f.size(); ++s) {
            if (!f[s]) continue;
            int depth = 0;
            for (int n = int(leaf++); parent[std::size_t(n)] >= 0; n = parent[std::size_t(n)])
                ++depth;
            lengths[s] = std::uint8_t(std::min(depth, 255));
            longest = std::max(longest, depth);
        }
        if (longest <= maxLength) return lengths;
        for (std::uint64_t &x : f) // flatten the distribution and try again
            if (x) x = (x >> 1) | 1;
    }
}

std::vector<std::uint8_t> compressTable(const std::uint8_t *data, std::uint64_t size, int threads) {
    std::uint32_t blocks = std::uint32_t((size + BLOCK - 1) / BLOCK);
    std::uint32_t lastLength = std::uint32_t(size - std::uint64_t(blocks - 1) * BLOCK);
    auto blockLength = [&](std::uint32_t b) { return b + 1 == blocks ? lastLength : BLOCK; };
    std::uint32_t distance[DISTANCE_SLOTS];
    chooseDistances(data, size, distance);
    // 1. Symbol frequencies over every block, and one code for the file.
    std::vector<std::uint64_t> frequency(BLOCK_SYMBOLS, 0);
    std::vector<std::vector<std::uint32_t>> partial(blocks);
    runThreads(threads, blocks, [&](std::uint64_t b) {
        std::vector<std::uint32_t> &c = partial[b];
        c.assign(BLOCK_SYMBOLS, 0);
        parseBlock(data + b * BLOCK, blockLength(std::uint32_t(b)), distance, [&](const Token &t) {
            std::uint32_t extra;
            int bits;
            ++c[t.slot < 0 ? t.value
                           : std::uint32_t(256 + 32 * t.slot + matchLengthCode(t.value, extra, bits))];
        });
    });
    for (auto &c : partial) {
        for (int s = 0; s < BLOCK_SYMBOLS; ++s)
            frequency[std::size_t(s)] += c[std::size_t(s)];
        std::vector<std::uint32_t>().swap(c);
    }
    if (std::count_if(frequency.begin(), frequency.end(), [](std::uint64_t f) { return f; }) < 2)
        ++frequency[frequency[0] ? 1 : 0]; // every symbol must take at least a bit
    std::vector<std::uint8_t> lengths = codeLengths(frequency, BLOCK_CODE_LIMIT);
    std::vector<std::uint32_t> codes = canonicalCodes(lengths);
    // 2. The blocks: coded, or raw when coding does not make them shorter.
    std::vector<std::vector<std::uint8_t>> coded(blocks);
    runThreads(threads, blocks, [&](std::uint64_t b) {
        BitWriter w;
        const std::uint8_t *p = data + b * BLOCK;
        std::uint32_t n = blockLength(std::uint32_t(b));
        parseBlock(p, n, distance, [&](const Token &t) {
            if (t.slot < 0) {
                w.put(codes[t.value], lengths[t.value]);
                return;
            }
            std::uint32_t extra = 0;
            int bits;
            int s = 256 + 32 * t.slot + matchLengthCode(t.value, extra, bits);
            w.put(codes[std::size_t(s)], lengths[std::size_t(s)]);
            w.put(extra, bits);
        });
        if (w.bytes.size() >= n) w.bytes.assign(p, p + n);
        coded[b] = std::move(w.bytes);
    });
    // 3. The header: fixed fields, checksums, bit-packed lengths and distances, the code.
    std::vector<std::uint8_t> out(CONTAINER_PREFIX + 8 * std::size_t(blocks), 0);
    std::copy(CONTAINER_BANNER, CONTAINER_BANNER + 64, out.begin());
    out[70] = BLOCK_BITS;
    out[71] = DISTANCE_SLOTS;
    putBig(out, 72, blocks);
    putBig(out, 76, CONTAINER_CONSTANT);
    for (std::uint32_t b = 0; b < blocks; ++b) {
        putBig(out, CONTAINER_PREFIX + 8 * std::size_t(b),
               containerChecksum(data + std::uint64_t(b) * BLOCK, blockLength(b)));
        putBig(out, CONTAINER_PREFIX + 8 * std::size_t(b) + 4,
               containerChecksum(coded[b].data(), coded[b].size()));
    }
    BitWriter fields;
    for (std::uint32_t b = 0; b < blocks; ++b)
        fields.put(std::uint32_t(coded[b].size()) & (BLOCK - 1), BLOCK_BITS);
    fields.put(lastLength & (BLOCK - 1), BLOCK_BITS);
    for (std::uint32_t d : distance)
        fields.put(d & (BLOCK - 1), BLOCK_BITS);
    fields.align();
    writeLengths(fields, lengths);
    out.insert(out.end(), fields.bytes.begin(), fields.bytes.end());
    std::uint32_t headerLength = std::uint32_t(out.size() + 4);
    putBig(out, 64, headerLength);
    out.resize(headerLength);
    putBig(out, headerLength - 4, containerChecksum(out.data(), headerLength - 4));
    for (auto &c : coded)
        out.insert(out.end(), c.begin(), c.end());
    return out;
}

} // namespace tbgen

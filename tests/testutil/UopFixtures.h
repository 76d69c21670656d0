#pragma once
// Containers made by hand in the tests, independently of the library's writer: a 40-byte
// header, each table listing exactly its entries and followed by their bytes, the chain
// running from the last table in the file back to the first.

#include "core/UopNames.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

namespace uoptest {

using Bytes = std::vector<unsigned char>;

struct HandEntry {
    std::uint64_t hash = 0;
    Bytes bytes;                    // what the entry holds once inflated
    bool zlib = false;              // stored deflated
    Bytes entryHeader;              // bytes before the entry's own
    std::int64_t statedLength = -1; // a length other than bytes.size() to state, for faults
};

inline HandEntry handEntry(std::uint64_t hash, Bytes bytes, bool zlib = false) {
    HandEntry e;
    e.hash = hash;
    e.bytes = std::move(bytes);
    e.zlib = zlib;
    return e;
}

inline void put(Bytes& out, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        out[at + std::size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

inline Bytes deflate(const Bytes& in) {
    uLongf size = compressBound(uLong(in.size()));
    Bytes out(size);
    if (compress(out.data(), &size, in.data(), uLong(in.size())) != Z_OK)
        throw std::runtime_error("compress failed");
    out.resize(size);
    return out;
}

// The container of `tables`, tables in the file in the given order, chained last to first.
inline Bytes buildContainer(const std::vector<std::vector<HandEntry>>& tables) {
    Bytes file(40, 0);
    put(file, 0, 0x0050594D, 4);
    put(file, 4, 5, 4);
    put(file, 8, 0xFD23EC43, 4);
    put(file, 20, 100, 4);
    std::vector<std::size_t> tableAt;
    for (const auto& table : tables) {
        tableAt.push_back(file.size());
        const std::size_t firstSlot = file.size() + 12;
        file.resize(firstSlot + table.size() * 34, 0);
        put(file, tableAt.back(), table.size(), 4);
        for (std::size_t i = 0; i < table.size(); ++i) {
            const HandEntry& e = table[i];
            const Bytes stored = e.zlib ? deflate(e.bytes) : e.bytes;
            const std::size_t at = firstSlot + i * 34;
            put(file, at, file.size(), 8);
            put(file, at + 8, e.entryHeader.size(), 4);
            put(file, at + 12, stored.size(), 4);
            put(file, at + 16, e.statedLength >= 0 ? std::uint64_t(e.statedLength) : e.bytes.size(),
                4);
            put(file, at + 20, e.hash, 8);
            put(file, at + 28, adler32(adler32(0, nullptr, 0), stored.data(), uInt(stored.size())),
                4);
            put(file, at + 32, e.zlib ? 1 : 0, 2);
            file.insert(file.end(), e.entryHeader.begin(), e.entryHeader.end());
            file.insert(file.end(), stored.begin(), stored.end());
        }
    }
    // The chain: header -> last table -> ... -> first table -> end.
    if (!tableAt.empty())
        put(file, 12, tableAt.back(), 8);
    for (std::size_t t = tableAt.size(); t-- > 1;)
        put(file, tableAt[t] + 4, tableAt[t - 1], 8);
    std::size_t entries = 0;
    for (const auto& table : tables)
        entries += table.size();
    put(file, 24, entries, 4);
    return file;
}

// Map entry i of facet `facet` holding bytes [i * 802,816, ...) of `map`.
inline HandEntry mapEntry(const Bytes& map, int facet, std::uint32_t i) {
    const std::size_t from = std::size_t(i) * 802'816;
    const std::size_t to = std::min(map.size(), from + 802'816);
    return handEntry(tb::uopNameHash(tb::uopMapEntryName(facet, i)),
                     Bytes(map.begin() + std::ptrdiff_t(from), map.begin() + std::ptrdiff_t(to)));
}

inline Bytes randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(rng());
    return bytes;
}

} // namespace uoptest

#pragma once
// Builders for art and texture files made inside the tests.

#include "core/ArtFiles.h"

#include <cstdint>
#include <vector>

namespace tbtest {

// Puts a 12-byte index entry for `id` into `index`, growing it as needed.
inline void putIndexEntry(std::vector<unsigned char>& index, int id, std::int32_t offset,
                          std::uint32_t length, std::uint32_t extra = 0) {
    const std::size_t at = std::size_t(id) * 12;
    if (index.size() < at + 12)
        index.resize(at + 12, 0xFF);
    const std::uint32_t fields[] = {std::uint32_t(offset), length, extra};
    for (int f = 0; f < 3; ++f)
        for (int b = 0; b < 4; ++b)
            index[at + f * 4 + b] = static_cast<unsigned char>(fields[f] >> (8 * b));
}

// Appends little-endian words to `data` and returns the byte offset where they start.
inline std::int32_t appendWords(std::vector<unsigned char>& data,
                                const std::vector<std::uint16_t>& words) {
    const auto offset = std::int32_t(data.size());
    for (std::uint16_t w : words) {
        data.push_back(static_cast<unsigned char>(w));
        data.push_back(static_cast<unsigned char>(w >> 8));
    }
    return offset;
}

// Words first, first + 1, ... (kept within 15 bits and never 0, so black means "not set").
inline std::vector<std::uint16_t> countingWords(std::size_t count, std::uint16_t first = 1) {
    std::vector<std::uint16_t> words(count);
    for (std::size_t i = 0; i < count; ++i)
        words[i] = static_cast<std::uint16_t>((first + i - 1) % 0x7FFF + 1);
    return words;
}

} // namespace tbtest

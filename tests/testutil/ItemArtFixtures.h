#pragma once
// Item art built in memory by the tests: a picture put into an ArtFiles as the game's
// artidx.mul and art.mul would hold it.

#include "core/ArtFiles.h"
#include "core/ItemArt.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tbtest {

// `art` with `image` as the picture of item `id`; the index grows to reach it.
inline void addItemArt(tb::ArtFiles& art, int id, const tb::ItemImage& image) {
    const std::size_t entry = std::size_t(0x4000 + id) * 12;
    art.artIndex.resize(std::max(art.artIndex.size(), entry + 12), 0xFF);
    const std::vector<unsigned char> bytes = tb::encodeItemArt(image);
    const auto offset = std::uint32_t(art.artData.size());
    const auto length = std::uint32_t(bytes.size());
    for (int i = 0; i < 4; ++i) {
        art.artIndex[entry + std::size_t(i)] = static_cast<unsigned char>(offset >> (8 * i));
        art.artIndex[entry + 4 + std::size_t(i)] = static_cast<unsigned char>(length >> (8 * i));
    }
    art.artData.insert(art.artData.end(), bytes.begin(), bytes.end());
}

} // namespace tbtest

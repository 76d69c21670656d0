#include "core/ItemArt.h"

#include "shell/LittleEndian.h"

#include <stdexcept>

namespace tb {
namespace {

constexpr int kArtItemBase = 0x4000;
constexpr std::size_t kIndexEntrySize = 12;
constexpr int kPlaceholderSide = 22;
constexpr std::uint16_t kPlaceholderColour = ItemImage::kOpaque | 0x7C1F; // magenta

} // namespace

bool decodeItemArt(const unsigned char* data, std::size_t size, ItemImage& image) {
    if (size < 8)
        return false;
    const int width = readU16(data + 4);
    const int height = readU16(data + 6);
    if (width == 0 || height == 0 || width > kItemArtMaxSide || height > kItemArtMaxSide)
        return false;
    const std::size_t words = size / 2;
    const std::size_t tableEnd = 4 + std::size_t(height); // in words
    if (tableEnd > words)
        return false;
    image.width = width;
    image.height = height;
    image.placeholder = false;
    image.pixels.assign(std::size_t(width) * std::size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        std::size_t at = tableEnd + readU16(data + 2 * (4 + std::size_t(y)));
        std::uint16_t* row = image.pixels.data() + std::size_t(y) * std::size_t(width);
        int x = 0;
        for (;;) {
            if (at + 2 > words)
                return false;
            const int skip = readU16(data + 2 * at);
            const int run = readU16(data + 2 * at + 2);
            at += 2;
            if (skip == 0 && run == 0)
                break;
            x += skip;
            if (x + run > width || at + std::size_t(run) > words)
                return false;
            for (int i = 0; i < run; ++i)
                row[x + i] =
                    std::uint16_t(readU16(data + 2 * (at + std::size_t(i))) | ItemImage::kOpaque);
            at += std::size_t(run);
            x += run;
        }
    }
    return true;
}

std::vector<unsigned char> encodeItemArt(const ItemImage& image) {
    std::vector<std::uint16_t> rows; // the runs of every row, one after the other
    std::vector<std::uint16_t> starts;
    for (int y = 0; y < image.height; ++y) {
        // Row starts are 16-bit word counts.
        if (rows.size() > 0xFFFF)
            throw std::length_error("item picture too large for its row table");
        starts.push_back(std::uint16_t(rows.size()));
        const std::uint16_t* row = image.pixels.data() + std::size_t(y) * std::size_t(image.width);
        int x = 0;
        int drawnTo = 0; // where the last run ended: skips count from there
        while (x < image.width) {
            if (!(row[x] & ItemImage::kOpaque)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < image.width && (row[end] & ItemImage::kOpaque))
                ++end;
            rows.push_back(std::uint16_t(x - drawnTo));
            rows.push_back(std::uint16_t(end - x));
            for (int i = x; i < end; ++i)
                rows.push_back(std::uint16_t(row[i] & 0x7FFF));
            drawnTo = x = end;
        }
        rows.push_back(0);
        rows.push_back(0);
    }
    std::vector<unsigned char> bytes(2 * (4 + starts.size() + rows.size()));
    unsigned char* p = bytes.data();
    writeU32(p, 0);
    writeU16(p + 4, std::uint16_t(image.width));
    writeU16(p + 6, std::uint16_t(image.height));
    p += 8;
    for (const std::uint16_t w : starts) {
        writeU16(p, w);
        p += 2;
    }
    for (const std::uint16_t w : rows) {
        writeU16(p, w);
        p += 2;
    }
    return bytes;
}

ItemImage itemPlaceholderImage() {
    ItemImage image;
    image.width = image.height = kPlaceholderSide;
    image.placeholder = true;
    image.pixels.assign(std::size_t(kPlaceholderSide) * kPlaceholderSide, 0);
    const int last = kPlaceholderSide - 1;
    for (int i = 0; i < kPlaceholderSide; ++i) {
        for (const auto& [x, y] :
             {std::pair{i, 0}, {i, last}, {0, i}, {last, i}, {i, i}, {last - i, i}})
            image.pixels[std::size_t(y) * kPlaceholderSide + std::size_t(x)] = kPlaceholderColour;
    }
    return image;
}

ItemImage itemArtImage(const ArtFiles& art, std::uint16_t itemId) {
    // Item art ids go past 0xFFFF, so the entry is found here rather than through the land
    // tiles' 16-bit lookup.
    const std::size_t at = (std::size_t(kArtItemBase) + itemId) * kIndexEntrySize;
    ItemImage image;
    if (art.artIndex.size() >= kIndexEntrySize && at <= art.artIndex.size() - kIndexEntrySize) {
        const unsigned char* p = art.artIndex.data() + at;
        const std::int32_t offset = readI32(p);
        const std::uint32_t length = readU32(p + 4);
        if (offset >= 0 && length > 0 && std::uint64_t(offset) + length <= art.artData.size() &&
            decodeItemArt(art.artData.data() + offset, length, image))
            return image;
    }
    return itemPlaceholderImage();
}

} // namespace tb

#pragma once
// Item pictures: art id 0x4000 + item id of artidx.mul/art.mul (or of the art container).
//
// An entry is a 32-bit header (ignored), 16-bit width, 16-bit height, then one 16-bit row
// start per row, counted in 16-bit words from the end of that table. Each row is a list of
// runs, each a 16-bit x skip, a 16-bit run length and that many 15-bit colours; a run whose
// skip and length are both 0 ends the row. Pixels no run covers are transparent.

#include "core/ArtFiles.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tb {

// An item picture in 15-bit colours; bit 15 of a pixel is set where the pixel is drawn, so
// that black stays apart from transparent.
struct ItemImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> pixels; // row-major
    bool placeholder = false;          // the entry was missing or damaged

    static constexpr std::uint16_t kOpaque = 0x8000;
    bool opaqueAt(int x, int y) const { return pixels[std::size_t(y) * width + x] & kOpaque; }
};

// Pictures larger than this on either side are taken as damage.
inline constexpr int kItemArtMaxSide = 1024;

// Decodes the bytes of one entry into `image`. False, with `image` unspecified, when the
// bytes are damaged: too short for their tables, a side of 0 or above kItemArtMaxSide, a row
// start or a run outside the bytes, or a run past the picture's width.
bool decodeItemArt(const unsigned char* data, std::size_t size, ItemImage& image);

// The entry bytes of `image`: its opaque pixels as runs, transparent ones skipped.
std::vector<unsigned char> encodeItemArt(const ItemImage& image);

// The picture of item `itemId`, or a placeholder (a framed cross, marked `placeholder`) when
// the art holds none or the entry is damaged.
ItemImage itemArtImage(const ArtFiles& art, std::uint16_t itemId);

// The picture shown for an item without usable art.
ItemImage itemPlaceholderImage();

} // namespace tb

#include "core/RadarPicture.h"

#include <bit>
#include <stdexcept>

namespace tb {
namespace {

constexpr int kIds = 0x10000;

// Every 16-bit id's pixel worked out once: 29 million cells share 65,536 colours.
template <typename Colour> std::vector<std::uint32_t> pixelTable(const Colour& colourOf) {
    std::vector<std::uint32_t> table(kIds);
    for (int id = 0; id < kIds; ++id)
        table[std::size_t(id)] = rgb555ToPixel(colourOf(id));
    return table;
}

RadarPicture landPicture(const MapImage& map, const RadarColours& land, Progress& progress) {
    RadarPicture picture;
    if (!map.hasGeometry())
        return picture;
    picture.width = map.width();
    picture.height = map.height();
    picture.pixels.resize(std::size_t(picture.width) * std::size_t(picture.height));
    const auto table = pixelTable([&](int id) { return land.colour(id); });
    const std::size_t width = std::size_t(picture.width);
    // Block by block as the map stores them, so the reads walk forward through memory.
    const int widthBlocks = picture.width / kCellsPerBlockSide;
    for (int bx = 0; bx < widthBlocks; ++bx) {
        for (int by = 0; by < picture.height / kCellsPerBlockSide; ++by)
            for (int row = 0; row < kCellsPerBlockSide; ++row) {
                const int y = by * kCellsPerBlockSide + row;
                std::uint32_t* out =
                    picture.pixels.data() + std::size_t(y) * width + std::size_t(bx) * 8;
                for (int column = 0; column < kCellsPerBlockSide; ++column)
                    out[column] =
                        table[map.cellUnchecked(bx * kCellsPerBlockSide + column, y).tileId];
            }
        reportStep(progress, kRadarPictureText, bx + 1, widthBlocks, kRadarPictureStoppedMessage);
    }
    return picture;
}

} // namespace

RadarPicture buildRadarPicture(const MapImage& map, const RadarColours& land, Progress& progress) {
    return landPicture(map, land, progress);
}

RadarPicture buildRadarPicture(const MapImage& map, const RadarColours& land,
                               const StaticsMap& statics, const StaticRadarColours& staticColours,
                               Progress& progress) {
    if (!map.hasGeometry())
        return {};
    if (statics.widthBlocks() != map.width() / kCellsPerBlockSide ||
        statics.heightBlocks() != map.height() / kCellsPerBlockSide)
        throw std::invalid_argument("the statics were read for a map of another size");
    RadarPicture picture = landPicture(map, land, progress);
    const auto table = pixelTable([&](int id) { return staticColours.colour(id); });
    const std::size_t width = std::size_t(picture.width);
    for (int bx = 0; bx < statics.widthBlocks(); ++bx)
        for (int by = 0; by < statics.heightBlocks(); ++by) {
            const BlockStatics block = statics.block(bx, by);
            const StaticCell* cell = block.cells;
            for (std::uint64_t rest = block.mask; rest != 0; rest &= rest - 1, ++cell) {
                const int bit = std::countr_zero(rest);
                const std::size_t x = std::size_t(bx) * 8 + std::size_t(bit % 8);
                const std::size_t y = std::size_t(by) * 8 + std::size_t(bit / 8);
                picture.pixels[y * width + x] = table[cell->topmostId];
            }
        }
    return picture;
}

} // namespace tb

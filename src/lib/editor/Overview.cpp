#include "editor/Overview.h"

#include "core/ArtFiles.h"

namespace tb {

OverviewImage buildOverview(const MapImage& map, const RadarColours& radar, Progress& progress) {
    OverviewImage image;
    if (!map.hasGeometry())
        return image;
    const MapVariant& variant = *map.variant();
    image.width = variant.widthBlocks();
    image.height = variant.heightBlocks();
    image.rgb.resize(std::size_t(image.width) * std::size_t(image.height) * 3);
    // Column by column, as the blocks lie in the file, so the reads walk forward.
    for (int i = 0; i < image.width; ++i) {
        for (int j = 0; j < image.height; ++j) {
            const MapCell cell =
                map.cellUnchecked(i * kCellsPerBlockSide + 1, j * kCellsPerBlockSide + 1);
            const Rgb colour = rgb555ToColor(radar.colour(cell.tileId));
            std::uint8_t* out =
                image.rgb.data() + (std::size_t(j) * std::size_t(image.width) + std::size_t(i)) * 3;
            out[0] = colour.red;
            out[1] = colour.green;
            out[2] = colour.blue;
        }
        reportStep(progress, kOverviewBuildText, i + 1, image.width, kPictureStoppedMessage);
    }
    return image;
}

BlockGeometry overviewSize(std::optional<MapSize> size) {
    if (size)
        return {size->widthBlocks(), size->heightBlocks()};
    return {0, 0};
}

} // namespace tb

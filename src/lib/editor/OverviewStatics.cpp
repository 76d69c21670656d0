#include "editor/OverviewStatics.h"

#include "core/ArtFiles.h"

namespace tb {

void drawOverviewStatics(OverviewImage& overview, const StaticsMap& statics,
                         const StaticRadarColours& colours) {
    for (int j = 0; j < overview.height; ++j) {
        for (int i = 0; i < overview.width; ++i) {
            const StaticCell* cell =
                statics.cell(i * kCellsPerBlockSide + 1, j * kCellsPerBlockSide + 1);
            if (!cell)
                continue;
            const Rgb colour = rgb555ToColor(colours.colour(cell->topmostId));
            std::uint8_t* out = overview.rgb.data() +
                                (std::size_t(j) * std::size_t(overview.width) + std::size_t(i)) * 3;
            out[0] = colour.red;
            out[1] = colour.green;
            out[2] = colour.blue;
        }
    }
}

} // namespace tb

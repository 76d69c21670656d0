// tbmap render --iso: a rectangle of cells drawn as the isometric view draws them (land, the
// items of the map's statics with --statics, in their hues when the game folder has
// hues.mul), on a black background, the picture just large enough for what the cells draw.
#include "CommandChecks.h"
#include "Commands.h"
#include "MapStatics.h"
#include "RenderCommand.h"

#include "core/ArtFiles.h"
#include "core/HueFile.h"
#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/PngRowWriter.h"
#include "core/TileData.h"
#include "render/IsoPainter.h"

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace tbcli {
namespace {

constexpr std::int64_t kMaxPictureSide = 16384;
// The picture is drawn and encoded a band of rows at a time, each band at most this many
// bytes of pixels; with the painter's pictures kept within kIsoCacheBudget the drawing
// stays far below 256 MB whatever the rectangle.
constexpr std::int64_t kBandBytes = std::int64_t(16) << 20;
constexpr std::size_t kIsoCacheBudget = std::size_t(64) << 20;

} // namespace

int runIsoRender(const std::vector<std::string>& positional, bool withStatics) {
    const fs::path mapPath = positional[0];
    const fs::path gameDir = positional[1];
    const fs::path outPath = positional[6];
    const std::int32_t x1 = intArgument("X1", positional[2]);
    const std::int32_t y1 = intArgument("Y1", positional[3]);
    const std::int32_t x2 = intArgument("X2", positional[4]);
    const std::int32_t y2 = intArgument("Y2", positional[5]);

    const tb::MapImage map = tb::MapImage::load(mapPath);
    if (!map.hasGeometry())
        return failure(inQuotes(mapPath) +
                       " is not a known map file: " + tb::unknownMapReason(mapPath));
    if (const auto problem = cellRangeProblem(map, x1, y1, x2, y2))
        return failure(*problem);
    const fs::path tiledataPath = gameDir / "tiledata.mul";
    const fs::path huesPath = gameDir / "hues.mul";
    std::vector<fs::path> inputs = artInputs(gameDir);
    inputs.push_back(tiledataPath);
    inputs.push_back(huesPath);
    if (withStatics) {
        const std::vector<fs::path> staticsInputs = mapStaticsInputs(mapPath, gameDir);
        inputs.insert(inputs.end(), staticsInputs.begin(), staticsInputs.end());
    }
    inputs.push_back(mapPath);
    checkOutput(outPath, inputs);

    tb::ArtFiles art;
    art.load(gameDir);
    std::optional<tb::TileData> tiledata;
    std::error_code ec;
    if (fs::exists(tiledataPath, ec))
        tiledata = tb::TileData::load(tiledataPath);
    else
        std::cerr << "tbmap: warning: no tiledata.mul in " << inQuotes(gameDir)
                  << ": the land is drawn flat and the items without their flags\n";
    const std::optional<tb::HueFile> hues = tb::HueFile::loadIfPresent(huesPath);
    if (hues)
        std::cout << "hues: " << hues->count() << " from " << inQuotes(huesPath) << '\n';
    else
        std::cout << "hues: no hues.mul in " << inQuotes(gameDir) << ", items drawn unhued\n";
    std::optional<MapStatics> statics;
    if (withStatics)
        statics = loadMapStatics(mapPath, gameDir, map);

    tbrender::IsoPainter painter(kIsoCacheBudget);
    painter.setMap(&map);
    painter.setArt(&art);
    painter.setTileData(tiledata ? &*tiledata : nullptr);
    painter.setHues(hues ? &*hues : nullptr);
    if (statics)
        painter.setStatics(&statics->load.statics);
    const tb::iso::CellBox cells{x1, y1, x2, y2};
    painter.setCellClip(cells);

    const QRect scene = painter.cellsSceneRect(cells);
    if (scene.isEmpty())
        return failure("the cells X1 Y1 X2 Y2 draw nothing");
    const std::int64_t width = scene.width(), height = scene.height();
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return failure("X1 Y1 X2 Y2: the picture of these cells would be " + std::to_string(width) +
                       " x " + std::to_string(height) + " pixels, more than " +
                       std::to_string(kMaxPictureSide) + " on a side: take fewer cells");

    const int bandRows = int(std::clamp<std::int64_t>(kBandBytes / (width * 4), 1, height));
    tb::PngRowWriter png(outPath, int(width), int(height));
    QImage band(int(width), bandRows, QImage::Format_RGB32);
    if (band.isNull())
        return failure("not enough memory for a band of " + std::to_string(width) + " x " +
                       std::to_string(bandRows) + " pixels");
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min<int>(bandRows, int(height) - top);
        painter.draw(band, QRect(0, 0, int(width), rows), scene.topLeft() + QPoint(0, top));
        png.writeRows(reinterpret_cast<const std::uint32_t*>(band.constBits()),
                      band.bytesPerLine() / 4, rows);
    }
    png.finish();
    return 0;
}

} // namespace tbcli

// tbmap tileimage export and import: every cell's tile id and altitude as an RGB PNG (red =
// id >> 8, green = id & 0xFF, blue = altitude + 128) and back, without losing a byte.
#include "CommandChecks.h"
#include "Commands.h"
#include "render/ImageRows.h"
#include "render/PictureFiles.h"

#include "core/Heightmap.h"
#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/TileImage.h"

#include <iostream>
#include <stdexcept>

namespace tbcli {
namespace {

tb::MapImage loadKnownMap(const std::string& path) {
    tb::MapImage map = tb::MapImage::load(path);
    if (!map.hasGeometry())
        throw std::runtime_error(inQuotes(path) +
                                 " is not a known map file: " + tb::unknownMapReason(path));
    return map;
}

int exportTileImage(const std::string& mapPath, const std::string& outPath) {
    checkOutput(outPath, {mapPath});
    const tb::MapImage map = loadKnownMap(mapPath);
    tb::writeTileImage(map, outPath);
    return 0;
}

int importTileImage(const std::string& mapPath, const std::string& inPath) {
    tb::MapImage map = loadKnownMap(mapPath);
    QImage image;
    try {
        image = tbrender::readPictureFile(inPath, [&](const QSize& size) {
            tb::checkHeightmapSize(map, size.width(), size.height());
        });
    } catch (const tb::HeightmapSizeError& e) {
        return failure(inQuotes(inPath) + ": " + e.what() + " (map not written)");
    }
    tbrender::ImageColourRows rows(std::move(image));
    const std::int64_t changed = tb::applyTileImage(map, rows);
    // An unchanged map is left as it is on disk.
    if (changed > 0)
        map.save(mapPath);
    std::cout << "cells changed: " << changed << '\n';
    return 0;
}

} // namespace

int runTileImage(const Args& args) {
    if (args.size() == 3 && args[0] == "export")
        return exportTileImage(args[1], args[2]);
    if (args.size() == 3 && args[0] == "import")
        return importTileImage(args[1], args[2]);
    return usageError("tileimage");
}

} // namespace tbcli

// tbmap heightmap export and import: a map's altitudes as an 8-bit greyscale PNG, one pixel
// per cell (grey = altitude + 128), and back into the map.
#include "CommandChecks.h"
#include "Commands.h"
#include "render/PictureFiles.h"

#include "core/Heightmap.h"
#include "core/MapFile.h"
#include "core/MapImage.h"

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

int exportHeightmap(const std::string& mapPath, const std::string& outPath) {
    checkOutput(outPath, {mapPath});
    const tb::MapImage map = loadKnownMap(mapPath);
    const tb::Heightmap heightmap = tb::exportHeightmap(map);
    // The picture reads the heightmap's bytes in place; PNG keeps the 8-bit greys.
    const QImage image(heightmap.grey.data(), heightmap.width, heightmap.height,
                       qsizetype(heightmap.width), QImage::Format_Grayscale8);
    tbrender::writePngFile(image, outPath);
    return 0;
}

int importHeightmap(const std::string& mapPath, const std::string& inPath, bool dryRun) {
    tb::MapImage map = loadKnownMap(mapPath);
    QImage image;
    try {
        image = tbrender::readPictureFile(inPath, [&](const QSize& size) {
            tb::checkHeightmapSize(map, size.width(), size.height());
        });
    } catch (const tb::HeightmapSizeError& e) {
        return failure(inQuotes(inPath) + ": " + e.what() + " (map not written)");
    }
    // A colour picture is read by its luminance.
    if (image.format() != QImage::Format_Grayscale8)
        image.convertTo(QImage::Format_Grayscale8);
    const tb::HeightmapView heightmap{image.width(), image.height(), image.bytesPerLine(),
                                      image.constBits()};
    if (dryRun) {
        std::cout << "cells that would change: " << tb::countHeightmapChanges(map, heightmap)
                  << '\n';
        return 0;
    }
    const std::int64_t changed = tb::applyHeightmap(map, heightmap);
    // An unchanged map is left as it is on disk.
    if (changed > 0)
        map.save(mapPath);
    std::cout << "cells changed: " << changed << '\n';
    return 0;
}

} // namespace

int runHeightmap(const Args& args) {
    if (args.size() == 3 && args[0] == "export")
        return exportHeightmap(args[1], args[2]);
    if ((args.size() == 3 || args.size() == 4) && args[0] == "import") {
        if (args.size() == 4 && args[3] != "--dry-run")
            return usageError("heightmap");
        return importHeightmap(args[1], args[2], args.size() == 4);
    }
    return usageError("heightmap");
}

} // namespace tbcli

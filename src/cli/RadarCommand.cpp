// tbmap radar: the whole map at one pixel per cell in the game's radar colours, optionally
// with the colour of each cell's topmost static, written as a PNG picture.
#include "CommandChecks.h"
#include "Commands.h"
#include "MapStatics.h"
#include "render/PictureFiles.h"

#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/RadarColours.h"
#include "core/RadarPicture.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace tbcli {

int runRadar(const Args& args) {
    std::vector<std::string> positional;
    bool withStatics = false;
    for (const std::string& a : args) {
        if (a == "--statics")
            withStatics = true;
        else if (a.starts_with("--"))
            return usageError("radar");
        else
            positional.push_back(a);
    }
    if (positional.size() != 3)
        return usageError("radar");
    const fs::path mapPath = positional[0];
    const fs::path gameDir = positional[1];

    const tb::MapImage map = tb::MapImage::load(mapPath);
    if (!map.hasGeometry())
        return failure(inQuotes(mapPath) +
                       " is not a known map file: " + tb::unknownMapReason(mapPath));
    std::vector<fs::path> inputs = withStatics ? mapStaticsInputs(mapPath, gameDir)
                                               : std::vector<fs::path>{gameDir / "radarcol.mul"};
    inputs.push_back(mapPath);
    checkOutput(positional[2], inputs);
    tb::RadarColours land;
    land.read(gameDir / "radarcol.mul");

    tb::RadarPicture picture;
    if (withStatics) {
        const MapStatics statics = loadMapStatics(mapPath, gameDir, map);
        picture = tb::buildRadarPicture(map, land, statics.load.statics, statics.colours);
    } else {
        picture = tb::buildRadarPicture(map, land);
    }
    // The picture reads the pixels in place: they are already in its 32-bit layout.
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                       picture.height, qsizetype(picture.width) * 4, QImage::Format_RGB32);
    tbrender::writePngFile(image, positional[2]);
    return 0;
}

} // namespace tbcli

// tbmap overview: the whole map in the game's radar colours, one pixel per 8 x 8 block, as
// the editor's overview window shows it, written as a PNG picture.
#include "CommandChecks.h"
#include "Commands.h"

#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/RadarColours.h"
#include "editor/Overview.h"
#include "shell/AtomicFileWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace tbcli {

int runOverview(const Args& args) {
    if (args.size() != 3)
        return usageError("overview");
    const std::string& mapPath = args[0];
    const fs::path gameDir = args[1];
    const std::string& outPath = args[2];

    checkOutput(outPath, {mapPath, gameDir / "radarcol.mul"});

    const tb::MapImage map = tb::MapImage::load(mapPath);
    if (!map.hasGeometry())
        return failure(inQuotes(mapPath) +
                       " is not a known map file: " + tb::unknownMapReason(mapPath));
    tb::RadarColours radar;
    radar.read(gameDir / "radarcol.mul");

    const tb::OverviewImage overview = tb::buildOverview(map, radar);
    QImage image(overview.width, overview.height, QImage::Format_RGB32);
    for (int py = 0; py < overview.height; ++py) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        for (int px = 0; px < overview.width; ++px) {
            const std::uint8_t* c = overview.pixel(px, py);
            line[px] = qRgb(c[0], c[1], c[2]);
        }
    }

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return failure("cannot encode the overview as PNG");
    tb::writeFileAtomically(outPath, png.constData(), std::size_t(png.size()));
    return 0;
}

} // namespace tbcli

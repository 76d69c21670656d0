#include "render/WorldFromPictures.h"

#include "render/ImageRows.h"
#include "render/PictureFiles.h"

#include "catalogue/TerrainFile.h"

#include <QString>

#include <string>
#include <utility>

namespace tbrender {
namespace {

void reportReading(tb::Progress& progress, const std::filesystem::path& picture) {
    const std::string caption =
        "Reading " + QString::fromStdU16String(picture.filename().u16string()).toStdString();
    progress.report(caption, 0, 100);
}

tb::MapSize sizeOf(const QSize& size) {
    return {size.width(), size.height()};
}

} // namespace

tb::GenerateReport generateWorldFromPictures(const WorldRequest& request, tb::Progress& progress) {
    const tb::GenerateSources& sources = request.sources;
    const tb::TerrainSet terrains = tb::readTerrainFile(sources.terrainFile);
    reportReading(progress, sources.terrainPicture);
    QImage terrain = readPictureFile(
        sources.terrainPicture,
        [&](const QSize& size) {
            tb::generatedMapVariant(request.destination, sizeOf(size), sources.terrainPicture);
        },
        progress, tb::kGenerateStoppedMessage);
    reportReading(progress, sources.altitudePicture);
    QImage altitude = readPictureFile(
        sources.altitudePicture,
        [&](const QSize& size) {
            tb::checkAltitudePictureSize(sources, sizeOf(terrain.size()), sizeOf(size));
        },
        progress, tb::kGenerateStoppedMessage);
    // Moved in: a picture converted to 32 bits is then held once.
    ImageColourRows terrainRows(std::move(terrain));
    ImageGreyRows altitudeRows(std::move(altitude));
    return tb::generateWorld(terrainRows, altitudeRows, terrains, sources, request.destination,
                             request.options, progress);
}

} // namespace tbrender

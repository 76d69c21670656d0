// tbmap tile and tbmap texture: one land tile or texture of a game folder as a PNG picture,
// made exactly as the editor's map view makes it.
#include "Commands.h"

#include "core/ArtFiles.h"
#include "shell/AtomicFileWriter.h"
#include "shell/NumberText.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <string>

namespace tbcli {
namespace {

using MakeImage = bool (*)(const tb::ArtFiles&, int, tb::Image15&, const tb::ArtIdLimits&);

// Every 15-bit pixel turned into an opaque 24-bit one.
QImage toQImage(const tb::Image15& image) {
    QImage out(image.width, image.height, QImage::Format_RGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            const tb::Rgb c = tb::rgb555ToColor(image.at(x, y));
            line[x] = qRgb(c.red, c.green, c.blue);
        }
    }
    return out;
}

int runArtImage(const char* name, const Args& args, MakeImage make) {
    if (args.size() != 3)
        return usageError(name);
    const std::string& gameDir = args[0];
    const std::string& idText = args[1];
    const std::string& outPath = args[2];
    const std::int32_t id = tb::strToInt(idText);
    // The files hold 16-bit ids; a larger number would silently wrap to another tile.
    if (id < 0 || id > 0xFFFF)
        return failure("tile id " + idText + " is outside 0..65535");

    tb::ArtFiles art;
    art.load(gameDir);
    tb::Image15 image;
    if (!make(art, id, image, tb::kEditorArtLimits))
        return failure("no image");

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!toQImage(image).save(&buffer, "PNG"))
        return failure("cannot encode the image as PNG");
    tb::writeFileAtomically(outPath, png.constData(), std::size_t(png.size()));
    return 0;
}

} // namespace

int runTile(const Args& args) {
    return runArtImage("tile", args, tb::makeLandTileImage);
}

int runTexture(const Args& args) {
    return runArtImage("texture", args, tb::makeTextureImage);
}

} // namespace tbcli

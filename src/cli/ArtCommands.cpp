// tbmap tile and tbmap texture: one land tile or texture of a game folder as a PNG picture,
// made exactly as the editor's map view makes it.
#include "CommandChecks.h"
#include "Commands.h"

#include "core/ArtFiles.h"
#include "shell/AtomicFileWriter.h"
#include "shell/NumberText.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdio>
#include <string>

namespace tbcli {
namespace {

using MakeImage = bool (*)(const tb::ArtFiles&, int, tb::Image15&, const tb::ArtIdLimits&);

// One kind of picture: how it is made and where its index entry says what it is.
struct ArtKind {
    const char* command;
    const char* what; // "land tile", "texture"
    MakeImage make;
    const std::vector<unsigned char> tb::ArtFiles::*index;
    const char* indexName;
    std::vector<std::uint32_t> lengths; // of an entry that holds a picture
};

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

// Why the art holds no picture of `id`, from its index entry.
std::string noPictureReason(const ArtKind& kind, const tb::ArtFiles& art, int id) {
    const std::vector<unsigned char>& index = art.*kind.index;
    const auto entry = tb::readArtIndexEntry(index, id);
    if (!entry)
        return std::string(kind.indexName) + " ends before it (" +
               std::to_string(index.size() / 12) + " entries)";
    if (entry->offset < 0)
        return std::string(kind.indexName) + " marks it as missing";
    bool pictureLength = false;
    for (std::uint32_t length : kind.lengths)
        pictureLength = pictureLength || entry->length == length;
    if (!pictureLength)
        return "its entry in " + std::string(kind.indexName) + " is " +
               std::to_string(entry->length) + " bytes long, not the length of a " + kind.what;
    return "the editor shows no " + std::string(kind.what) + " of this id";
}

int runArtImage(const ArtKind& kind, const Args& args) {
    if (args.size() != 3)
        return usageError(kind.command);
    const std::string& gameDir = args[0];
    const std::string& idText = args[1];
    const std::string& outPath = args[2];
    const std::int32_t id = intArgument("ID", idText);
    // The files hold 16-bit ids; a larger number would silently wrap to another tile.
    if (id < 0 || id > 0xFFFF)
        return failure("tile id " + idText + " is outside 0..65535");
    checkOutput(outPath, artInputs(gameDir));

    tb::ArtFiles art;
    art.load(gameDir);
    tb::Image15 image;
    if (!kind.make(art, id, image, tb::kEditorArtLimits)) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "$%04X", unsigned(id));
        return failure("no " + std::string(kind.what) + " " + std::to_string(id) + " (" + hex +
                       ") in " + inQuotes(gameDir) + ": " + noPictureReason(kind, art, id));
    }

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
    static const ArtKind kind{"tile",
                              "land tile",
                              tb::makeLandTileImage,
                              &tb::ArtFiles::artIndex,
                              "the land art index",
                              {2048, 2024}};
    return runArtImage(kind, args);
}

int runTexture(const Args& args) {
    static const ArtKind kind{
        "texture",    "texture",    tb::makeTextureImage, &tb::ArtFiles::textureIndex,
        "texidx.mul", {8192, 32768}};
    return runArtImage(kind, args);
}

} // namespace tbcli

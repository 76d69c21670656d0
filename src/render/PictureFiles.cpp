#include "render/PictureFiles.h"

#include "shell/AtomicFileWriter.h"
#include "shell/FileBytes.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QString>

#include <stdexcept>
#include <string>

namespace tbrender {
namespace {

// The path as the user typed it, for messages (whole on every system).
std::string shown(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string()).toStdString();
}

} // namespace

void writePngFile(const QImage& image, const std::filesystem::path& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("cannot encode the picture for \"" + shown(path) + "\" as PNG");
    tb::writeFileAtomically(path, png.constData(), std::size_t(png.size()));
}

QImage readPictureFile(const std::filesystem::path& path,
                       const std::function<void(const QSize&)>& checkSize) {
    const std::vector<unsigned char> bytes = tb::readFileBytes(path);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    qsizetype(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const auto noPicture = [&](const QString& why) {
        return std::runtime_error("cannot read \"" + shown(path) +
                                  "\" as a picture: " + why.toStdString());
    };
    const QSize size = reader.size();
    if (checkSize && size.isValid()) {
        checkSize(size);
        // The size is one the caller accepts, so its decoding may take what it needs (a
        // 16-bit colour picture of the largest map is over Qt's default limit).
        reader.setAllocationLimit(1024);
    }
    QImage image = reader.read();
    if (image.isNull())
        throw noPicture(reader.errorString());
    if (checkSize && !size.isValid())
        checkSize(image.size());
    return image;
}

} // namespace tbrender

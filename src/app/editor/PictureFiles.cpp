#include "editor/PictureFiles.h"

#include "shell/AtomicFile.h"
#include "shell/FileBytes.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tbapp {
namespace {

std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

} // namespace

void writePngFile(const QImage& image, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("cannot encode the picture for \"" + path.toStdString() +
                                 "\" as PNG");
    tb::writeFileAtomically(toPath(path), png.constData(), std::size_t(png.size()));
}

QImage readPictureFile(const QString& path, const std::function<void(const QSize&)>& checkSize) {
    const std::vector<unsigned char> bytes = tb::readFileBytes(toPath(path));
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (checkSize && size.isValid()) {
        checkSize(size);
        // The caller accepts this size, so decoding may take what it needs (a 16-bit colour
        // picture of the largest map is over Qt's default limit).
        reader.setAllocationLimit(1024);
    }
    QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error("cannot read \"" + path.toStdString() +
                                 "\" as a picture: " + reader.errorString().toStdString());
    if (checkSize && !size.isValid())
        checkSize(image.size());
    return image;
}

} // namespace tbapp

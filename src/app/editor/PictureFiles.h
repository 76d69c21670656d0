#pragma once
// Pictures the editor writes and reads (heightmaps, the view): PNG written atomically, any
// picture Qt reads decoded with its errors named.

#include <QImage>
#include <QString>

#include <functional>

namespace tbapp {

// Encodes `image` as PNG and replaces `path` with it atomically. Throws std::runtime_error
// when the image cannot be encoded, tb::FileError when the file cannot be written.
void writePngFile(const QImage& image, const QString& path);

// Decodes the picture in `path`. `checkSize`, when given, sees the size the file announces
// before any pixel is decoded and may throw to refuse it. Throws tb::FileError when the
// file cannot be read, std::runtime_error naming the file when it holds no picture.
QImage readPictureFile(const QString& path,
                       const std::function<void(const QSize&)>& checkSize = {});

} // namespace tbapp

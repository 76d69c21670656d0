#pragma once
// Pictures that tbmap and the editor write and read (heightmaps, radar pictures, the view):
// PNG written atomically, any picture Qt reads decoded with its errors named.

#include "shell/Progress.h"

#include <QImage>

#include <filesystem>
#include <functional>
#include <string>

namespace tbrender {

// Encodes `image` as PNG and replaces `path` with it atomically. Throws std::runtime_error
// when the image cannot be encoded, FileError when the file cannot be written. A stop that
// `progress` asks for while the picture is encoded throws tb::OperationStopped with
// `stoppedMessage`, the file untouched.
void writePngFile(const QImage& image, const std::filesystem::path& path,
                  tb::Progress& progress = tb::noProgress(),
                  const std::string& stoppedMessage = {});

// Decodes the picture in `path` (PNG or any other format Qt reads). `checkSize`, when given,
// sees the size the file announces before any pixel is decoded and may throw to refuse it.
// Throws FileError when the file cannot be read, std::runtime_error naming the file when it
// holds no picture or its decoder warns that it is damaged. A stop that `progress` asks for
// while the file is read or decoded throws tb::OperationStopped with `stoppedMessage`.
QImage readPictureFile(const std::filesystem::path& path,
                       const std::function<void(const QSize&)>& checkSize = {},
                       tb::Progress& progress = tb::noProgress(),
                       const std::string& stoppedMessage = {});

} // namespace tbrender

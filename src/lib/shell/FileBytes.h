#pragma once
// Whole-file reads into memory, shared by the map image, the art files and the text files.

#include "shell/Progress.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// The whole content of a regular file, read in one allocation. Throws FileError naming the
// path when it cannot be opened or read (or is not a regular file).
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path);

// The same in pieces of a few megabytes: `progress` gets the bytes read of the file's size
// under `caption` after each, and a stop between two throws OperationStopped with
// `stoppedMessage`.
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path, Progress& progress,
                                         std::string_view caption,
                                         const std::string& stoppedMessage);

} // namespace tb

#pragma once
// Whole-file reads into memory, shared by the map image, the art files and the text files.

#include <filesystem>
#include <vector>

namespace tb {

// The whole content of a regular file, read in one allocation. Throws FileError naming the
// path when it cannot be opened or read (or is not a regular file).
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path);

} // namespace tb

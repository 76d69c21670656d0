#pragma once
// Whether two paths name one file, for writers that must not replace their own input.

#include <filesystem>

namespace tb {

// True when both paths name one existing file by identity: links, hard links and different
// spellings of one path count as the same file.
bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace tb

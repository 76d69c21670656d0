#pragma once
// Whether two paths name one file, so that a tool never writes over one of its own inputs.

#include <filesystem>

namespace tb {

// True when `a` and `b` name the same file: the same file on disk however spelled (links
// included), or, when one of them does not exist yet, the same normalised path.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace tb

#include "shell/SameFile.h"

namespace tb {

bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return !ec && same;
}

} // namespace tb

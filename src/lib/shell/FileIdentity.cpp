#include "shell/FileIdentity.h"

namespace fs = std::filesystem;

namespace tb {

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool equivalent = fs::equivalent(a, b, ec);
    // Both exist: the files on disk decide, and their spelling does not matter.
    if (!ec)
        return equivalent;
    const fs::path na = fs::weakly_canonical(fs::absolute(a, ec), ec);
    std::error_code ec2;
    const fs::path nb = fs::weakly_canonical(fs::absolute(b, ec2), ec2);
    return !ec && !ec2 && na == nb;
}

} // namespace tb

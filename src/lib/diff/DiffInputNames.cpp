#include "diff/DiffInputNames.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace tb {

bool isDiffInputName(std::string_view fileName, std::string_view expected) {
    const auto slash = fileName.find_last_of("/\\");
    if (slash != std::string_view::npos)
        fileName.remove_prefix(slash + 1);
    std::string name(fileName);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (expected == kDiffMapNames[0])
        return std::find(kDiffMapNames.begin(), kDiffMapNames.end(), name) != kDiffMapNames.end();
    return name == expected;
}

} // namespace tb

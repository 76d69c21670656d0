// tbmap convert: a map file from .mul to UOP container or back, the form of each side
// chosen by its name's extension.
#include "CommandChecks.h"
#include "Commands.h"

#include "core/MapConvert.h"

#include <optional>

namespace tbcli {

int runConvert(const Args& args) {
    Args positional;
    std::optional<int> facet;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--facet") {
            if (i + 1 == args.size())
                return usageError("convert");
            const std::int32_t value = intArgument("--facet", args[++i]);
            if (value < 0 || value > 9)
                return failure("--facet " + args[i] + ": the facet must be a digit, 0 to 9");
            facet = value;
        } else if (args[i].starts_with("--")) {
            return usageError("convert");
        } else {
            positional.push_back(args[i]);
        }
    }
    if (positional.size() != 2)
        return usageError("convert");
    tb::convertMapFile(positional[0], positional[1], facet);
    return 0;
}

} // namespace tbcli

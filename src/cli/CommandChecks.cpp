#include "CommandChecks.h"

#include "core/ArtContainer.h"
#include "core/MapFile.h"
#include "core/StaticsFiles.h"
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/FileIdentity.h"
#include "shell/NumberText.h"

#include <stdexcept>

namespace fs = std::filesystem;

namespace tbcli {

std::int32_t intArgument(const std::string& name, const std::string& text) {
    try {
        return tb::strToInt(text);
    } catch (const tb::ConversionError& e) {
        throw std::runtime_error(name + ": " + e.what());
    }
}

void checkOutput(const fs::path& output, const std::vector<fs::path>& inputs) {
    tb::checkReplaceable(output);
    for (const fs::path& input : inputs)
        if (tb::sameFile(output, input))
            throw std::runtime_error("cannot write " + inQuotes(output) +
                                     ": it is the same file as the input " + inQuotes(input));
}

std::vector<fs::path> artInputs(const fs::path& gameDir) {
    std::vector<fs::path> files;
    for (const char* name : {"artidx.mul", "art.mul", "texidx.mul", "texmaps.mul"})
        files.push_back(gameDir / name);
    if (auto container = tb::findArtContainer(gameDir))
        files.push_back(std::move(*container));
    return files;
}

int staticsFacet(const fs::path& mapFile) {
    if (const std::optional<int> facet = tb::staticsFacetOf(mapFile))
        return *facet;
    throw std::runtime_error(inQuotes(mapFile) + ": its name holds no facet digit, so its statics "
                                                 "files (staidxN.mul, staticsN.mul) are not known");
}

std::string inQuotes(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

} // namespace tbcli

#include "core/MapConvert.h"

#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/UopMapWriter.h"
#include "shell/AtomicFile.h"
#include "shell/Errors.h"

#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace tb {
namespace {

int facetOf(const fs::path& container, std::optional<int> facet) {
    if (facet)
        return *facet;
    if (const auto fromName = facetFromFileName(container.filename().string()))
        return *fromName;
    throw FileError("\"" + container.string() +
                    "\": its name holds no facet digit (as in map0LegacyMUL.uop); give the "
                    "facet with --facet N");
}

bool endsWith(const fs::path& path, const char* extension) {
    std::string ext = path.extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == extension;
}

} // namespace

void convertMapFile(const fs::path& source, const fs::path& destination, std::optional<int> facet) {
    const bool toContainer = endsWith(destination, ".uop");
    if (!toContainer && !endsWith(destination, ".mul"))
        throw std::invalid_argument("\"" + destination.string() +
                                    "\": the new map's name must end in .mul or .uop");
    // Both facets are settled before anything is read, so a bad call costs nothing.
    const int writeFacet = toContainer ? facetOf(destination, facet) : 0;
    const MapImage map = mapFileFormatOf(source) == MapFileFormat::Uop
                             ? MapImage::loadContainer(source, facetOf(source, facet))
                             : MapImage::load(source);
    if (toContainer)
        writeUopMap(destination, UopMapLayout::fresh(writeFacet, std::int64_t(map.size())),
                    map.bytes());
    else
        writeFileAtomically(destination, map.bytes().data(), map.size());
}

} // namespace tb

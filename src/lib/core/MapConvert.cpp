#include "core/MapConvert.h"

#include "core/MapFile.h"
#include "core/MapFileReader.h"
#include "core/MapOutputFile.h"
#include "shell/Errors.h"
#include "shell/FileIdentity.h"

#include <algorithm>
#include <cctype>
#include <vector>

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
    if (sameFile(source, destination))
        throw FileError("Cannot write file \"" + destination.string() +
                        "\": it is the map being converted");
    const std::optional<int> readFacet = mapFileFormatOf(source) == MapFileFormat::Uop
                                             ? std::optional<int>(facetOf(source, facet))
                                             : std::nullopt;
    const MapFileReader input(source, readFacet);
    // Only a whole map of a known variant is written, and only under a name that is
    // identified as that variant again: anything else would be a file no reader takes.
    if (!input.variant())
        throw FileError("Cannot convert file \"" + source.string() + "\": it is no known map (" +
                        (readFacet ? "no map of facet " + std::to_string(*readFacet) + " holds " +
                                         std::to_string(input.size()) + " bytes"
                                   : unknownMapReason(source)) +
                        ")");
    const MapVariant& variant = *input.variant();
    const bool known =
        toContainer ? identifyUopMapVariant(writeFacet, input.size()).has_value()
                    : identifyMapVariant(destination.filename().string(), input.size()).has_value();
    if (!known)
        throw FileError("Cannot write file \"" + destination.string() + "\": the map is " +
                        std::string(variant.caption) + " (" + mapSizeText(variant.size()) + ", " +
                        std::string(variant.fileName) + "), which is no map " +
                        (toContainer ? "of facet " + std::to_string(writeFacet)
                                     : "known under the name " + destination.filename().string()));
    // The map streams through one entry's worth of memory, in order, so the new container's
    // checksums are taken on the way.
    MapOutputFile output(destination, input.size(), writeFacet);
    std::vector<unsigned char> buffer(std::size_t(std::min(kUopMapEntryBytes, input.size())));
    for (std::int64_t at = 0; at < input.size(); at += std::int64_t(buffer.size())) {
        const auto size = std::size_t(std::min(std::int64_t(buffer.size()), input.size() - at));
        input.readAt(at, buffer.data(), size);
        output.writeAt(at, buffer.data(), size);
    }
    output.commit();
}

} // namespace tb

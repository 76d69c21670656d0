#include "core/StaticsFiles.h"

#include "core/MapFile.h"
#include "shell/FileBytes.h"

#include <algorithm>
#include <cctype>

namespace fs = std::filesystem;

namespace tb {
namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::optional<StaticsFilePaths> pairIn(const fs::path& dir, int facet) {
    if (dir.empty())
        return std::nullopt;
    const StaticsFilePaths names = staticsPairIn({}, facet);
    auto index = findFileIgnoringCase(dir, names.index.string());
    auto data = findFileIgnoringCase(dir, names.data.string());
    if (!index || !data)
        return std::nullopt;
    return StaticsFilePaths{std::move(*index), std::move(*data)};
}

std::string quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

} // namespace

std::optional<int> mapFacet(std::string_view fileName) {
    if (!isMapFileName(fileName))
        return std::nullopt;
    const auto slash = fileName.find_last_of("/\\");
    const std::string_view base =
        slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    return base[3] - '0';
}

std::optional<int> staticsFacetOf(const fs::path& mapFile) {
    const std::string name = mapFile.filename().string();
    if (const auto facet = mapFacet(name))
        return facet;
    // A container's map is read by the digit of its name, and so are its statics.
    if (mapFileFormatOf(mapFile) == MapFileFormat::Uop)
        return facetFromFileName(name);
    return std::nullopt;
}

StaticsFilePaths staticsPairIn(const fs::path& dir, int facet) {
    const std::string n = std::to_string(facet);
    return {dir / ("staidx" + n + ".mul"), dir / ("statics" + n + ".mul")};
}

std::optional<fs::path> findFileIgnoringCase(const fs::path& dir, std::string_view name) {
    std::error_code ec;
    if (fs::is_regular_file(dir / name, ec))
        return dir / name;
    const std::string wanted = lowerCase(std::string(name));
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && lowerCase(it->path().filename().string()) == wanted)
            return it->path();
    }
    return std::nullopt;
}

std::optional<StaticsFilePaths> findStaticsFiles(const fs::path& mapFile, const fs::path& gameDir,
                                                 int facet) {
    // A map kept beside its own statics (a work copy of a facet) is shown with those.
    const fs::path mapDir = mapFile.has_parent_path() ? mapFile.parent_path() : fs::path(".");
    if (auto pair = pairIn(mapDir, facet))
        return pair;
    return pairIn(gameDir, facet);
}

StaticsLoad loadStatics(const StaticsFilePaths& files, const MapVariant& variant,
                        Progress& progress) {
    // The index last: it is still in the cache when its entries are checked.
    std::vector<unsigned char> data =
        readFileBytes(files.data, progress, kStaticsLoadText, kStaticsLoadStoppedMessage);
    std::vector<unsigned char> index =
        readFileBytes(files.index, progress, kStaticsLoadText, kStaticsLoadStoppedMessage);
    StaticsDamage damage;
    StaticsLoad load;
    load.statics = StaticsMap(std::move(index), std::move(data), variant.widthBlocks(),
                              variant.heightBlocks(), &damage);
    load.warning = staticsDamageWarning(files, damage);
    return load;
}

std::string staticsDamageWarning(const StaticsFilePaths& files, const StaticsDamage& damage) {
    if (!damage.any())
        return {};
    std::vector<std::string> parts;
    if (damage.lengthsNotMultipleOf7)
        parts.push_back(std::to_string(damage.lengthsNotMultipleOf7) +
                        " with a length that is not a multiple of 7");
    if (damage.entriesPastData)
        parts.push_back(std::to_string(damage.entriesPastData) + " pointing past the end of " +
                        quoted(files.data));
    if (damage.blocksWithoutEntry)
        parts.push_back(std::to_string(damage.blocksWithoutEntry) +
                        " missing (the index is shorter than the map)");
    std::string text = "damaged statics index " + quoted(files.index) + ": ";
    if (!parts.empty()) {
        text += "blocks shown without statics: ";
        for (std::size_t i = 0; i < parts.size(); ++i)
            text += (i ? ", " : "") + parts[i];
    }
    if (damage.indexHasPartialEntry)
        text += std::string(parts.empty() ? "" : "; ") + "a partial entry at its end ignored";
    return text;
}

} // namespace tb

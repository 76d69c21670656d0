#include "core/MapFile.h"

#include "core/MapFileReader.h"
#include "shell/NativeFile.h"

#include <algorithm>
#include <cctype>
#include <exception>

namespace fs = std::filesystem;

namespace tb {
namespace {

std::string lowerBaseName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    std::string name(path);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return name;
}

std::int64_t roundUpToEntries(std::int64_t size) {
    return (size + kUopMapEntryBytes - 1) / kUopMapEntryBytes * kUopMapEntryBytes;
}

} // namespace

MapFileFormat mapFileFormatOf(const fs::path& path) {
    return lowerBaseName(path.filename().string()).ends_with(".uop") ? MapFileFormat::Uop
                                                                     : MapFileFormat::Mul;
}

bool isUopMapFileName(std::string_view fileName) {
    const std::string name = lowerBaseName(fileName);
    const std::string_view rest =
        std::string_view(name).substr(std::min<std::size_t>(4, name.size()));
    return name.size() > 4 && name.starts_with("map") && name[3] >= '0' && name[3] <= '5' &&
           (rest == "legacymul.uop" || rest == "xlegacymul.uop");
}

bool isAcceptedMapFileName(std::string_view fileName) {
    return isMapFileName(fileName) || isUopMapFileName(fileName);
}

std::optional<int> facetFromFileName(std::string_view fileName) {
    const std::string name = lowerBaseName(fileName);
    if (name.size() > 3 && name.starts_with("map") &&
        std::isdigit(static_cast<unsigned char>(name[3])))
        return name[3] - '0';
    return std::nullopt;
}

std::optional<MapVariant> identifyUopMapVariant(int facet, std::int64_t total) {
    if (facet < 0 || facet > 9)
        return std::nullopt;
    const std::string fileName = "map" + std::to_string(facet) + ".mul";
    std::optional<MapVariant> match;
    for (const MapVariant& v : mapVariants())
        if (v.fileName == fileName &&
            (v.fileSize == total || roundUpToEntries(v.fileSize) == total))
            match = v;
    return match;
}

std::optional<MapVariant> identifyMapFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return std::nullopt;
    if (mapFileFormatOf(path) == MapFileFormat::Mul) {
        const auto size = fs::file_size(path, ec);
        if (ec)
            return std::nullopt;
        return identifyMapVariant(path.filename().string(), std::int64_t(size));
    }
    if (!isUopMapFileName(path.filename().string()))
        return std::nullopt;
    try {
        return MapFileReader(path).variant();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string unknownMapReason(const fs::path& path) {
    std::error_code ec;
    const fs::file_type type = fs::status(path, ec).type();
    if (type == fs::file_type::not_found || type == fs::file_type::none)
        return "there is no such file";
    if (type != fs::file_type::regular)
        return notRegularFileError(type).message();
    const std::string name = path.filename().string();
    if (!isAcceptedMapFileName(name))
        return "its name is none of map0.mul .. map5.mul or map0LegacyMUL.uop .. map5LegacyMUL.uop";
    if (mapFileFormatOf(path) == MapFileFormat::Mul)
        return "no map variant is " + std::to_string(fs::file_size(path, ec)) + " bytes long";
    try {
        const MapFileReader reader(path);
        return "no map variant of its facet holds " + std::to_string(reader.size()) + " bytes";
    } catch (const std::exception& e) {
        return e.what();
    }
}

} // namespace tb

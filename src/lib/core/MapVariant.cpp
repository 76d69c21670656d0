#include "core/MapVariant.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tb {
namespace {

constexpr std::array<MapVariant, 8> kVariants{{
    {"map0.mul", 89'915'392, "Mondains Legacy", 7168, 4096},
    {"map0.mul", 77'070'336, "Felucca+Trammel", 6144, 4096},
    {"map0.mul", 77'108'927, "Felucca+Trammel (unknown version)", 6144, 4096},
    {"map1.mul", 89'915'392, "Mondains Legacy (Patch 6.x.x.x)", 7168, 4096},
    {"map2.mul", 11'289'600, "Ilshenar", 2304, 1600},
    {"map3.mul", 16'056'320, "Malas", 2560, 2048},
    {"map4.mul", 6'421'156, "Tokuno", 1448, 1448},
    {"map5.mul", 16'056'320, "Ter Mur", 1280, 4096},
}};

std::string lowerBaseName(std::string_view path) {
    const auto slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    std::string name(path);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return name;
}

} // namespace

std::string mapSizeText(MapSize size) {
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::span<const MapVariant> mapVariants() {
    return kVariants;
}

std::optional<MapVariant> identifyMapVariant(std::string_view fileName, std::int64_t fileSize) {
    const std::string name = lowerBaseName(fileName);
    std::optional<MapVariant> match;
    for (const MapVariant& v : kVariants)
        if (v.fileName == name && v.fileSize == fileSize)
            match = v;
    return match;
}

bool isMapFileName(std::string_view fileName) {
    const std::string name = lowerBaseName(fileName);
    return name.size() == 8 && name.starts_with("map") && name[3] >= '0' && name[3] <= '5' &&
           name.ends_with(".mul");
}

} // namespace tb

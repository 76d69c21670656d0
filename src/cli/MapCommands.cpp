// tbmap info and tbmap cell: what the library makes of a map file (a .mul or a container).
#include "Commands.h"

#include "core/MapFile.h"
#include "core/MapFileReader.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "shell/NumberText.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace tbcli {

int runInfo(const Args& args) {
    if (args.size() != 1)
        return usageError("info");
    const fs::path path = args[0];
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        return failure("cannot read \"" + path.string() + "\": " + ec.message());
    std::optional<tb::MapVariant> variant;
    if (tb::isUopMapFileName(path.filename().string()))
        variant = tb::MapFileReader(path).variant(); // a broken container is reported
    else if (tb::isMapFileName(path.filename().string()))
        variant = tb::identifyMapVariant(path.filename().string(), std::int64_t(size));
    std::cout << "version: " << (variant ? variant->caption : tb::kNoVariantCaption) << '\n'
              << "size: "
              << (variant ? tb::mapSizeText(variant->size()) : std::string(tb::kNoVariantCaption))
              << '\n';
    return 0;
}

int runCell(const Args& args) {
    if (args.size() != 3)
        return usageError("cell");
    const std::int32_t x = tb::strToInt(args[1]);
    const std::int32_t y = tb::strToInt(args[2]);
    const tb::MapImage map = tb::MapImage::load(args[0]);
    if (!map.hasGeometry())
        return failure("\"" + args[0] + "\" is not a known map file (name and size)");
    if (!map.contains(x, y))
        return failure("cell (" + args[1] + ", " + args[2] + ") is outside the " +
                       tb::mapSizeText(map.variant()->size()) + " map");
    const tb::MapCell c = map.cell(x, y);
    std::cout << c.tileId << ' ' << int(c.altitude) << '\n';
    return 0;
}

} // namespace tbcli

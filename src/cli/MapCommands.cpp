// tbmap info and tbmap cell: what the library makes of a map file (a .mul or a container).
#include "CommandChecks.h"
#include "Commands.h"

#include "core/MapFile.h"
#include "core/MapFileReader.h"
#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "shell/Errors.h"

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace tbcli {

int runInfo(const Args& args) {
    if (args.size() != 1)
        return usageError("info");
    const fs::path path = args[0];
    std::error_code ec;
    if (!fs::exists(path, ec))
        return failure("cannot read " + inQuotes(path) + ": there is no such file");
    std::optional<tb::MapVariant> variant = tb::identifyMapFile(path);
    // A container whose entries a read refuses is no map, as convert and the editor find.
    std::string damage;
    if (variant && tb::mapFileFormatOf(path) == tb::MapFileFormat::Uop) {
        try {
            tb::MapFileReader(path).checkEntries();
        } catch (const tb::FileError& e) {
            damage = e.what();
            variant.reset();
        }
    }
    std::cout << "version: " << (variant ? variant->caption : tb::kNoVariantCaption) << '\n'
              << "size: "
              << (variant ? tb::mapSizeText(variant->size()) : std::string(tb::kNoVariantCaption))
              << '\n';
    // A script asking about a file learns from the exit status whether it is a map.
    if (!damage.empty())
        return failure(damage);
    if (!variant)
        return failure(inQuotes(path) + " is not a known map file: " + tb::unknownMapReason(path));
    return 0;
}

int runCell(const Args& args) {
    if (args.size() != 3)
        return usageError("cell");
    const std::int32_t x = intArgument("X", args[1]);
    const std::int32_t y = intArgument("Y", args[2]);
    const tb::MapImage map = tb::MapImage::load(args[0]);
    if (!map.hasGeometry())
        return failure(inQuotes(args[0]) +
                       " is not a known map file: " + tb::unknownMapReason(args[0]));
    if (!map.contains(x, y))
        return failure("cell (" + args[1] + ", " + args[2] + ") is outside the " +
                       tb::mapSizeText(map.variant()->size()) + " map");
    const tb::MapCell c = map.cell(x, y);
    std::cout << c.tileId << ' ' << int(c.altitude) << '\n';
    return 0;
}

} // namespace tbcli

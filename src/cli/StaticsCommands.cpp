// tbmap statics, item and tiledata: the items placed on a map, changed in place as the
// editor saves them (records appended, then the index replaced), and what the game files say
// of an item.
#include "CommandChecks.h"
#include "Commands.h"

#include "core/ArtFiles.h"
#include "core/ItemArt.h"
#include "core/MapFile.h"
#include "core/StaticItems.h"
#include "core/StaticsCsv.h"
#include "core/StaticsSave.h"
#include "core/TileData.h"
#include "render/PictureFiles.h"
#include "shell/FileBytes.h"

#include <QImage>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace tbcli {
namespace {

std::string hexId(std::uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", id);
    return text;
}

// The statics of a map: the pair beside it, named by the facet digit of its name.
struct MapStaticsPair {
    tb::MapVariant variant;
    tb::StaticsFilePaths files;
    bool exists = false;
    tb::StaticsMap statics;
};

// Whether a command only reads the statics or may change them.
enum class Use { Read, Change };

// Reads the pair beside `mapPath`. A command that changes the statics first puts back what
// an interrupted compaction left; one that only reads them changes no file and reads the
// pair that would then be there. Without a pair, the statics are empty when `create` is
// set (a first item makes the pair), else it is an error naming both files; a pair of which
// only one file is there is refused naming the missing one.
MapStaticsPair openStatics(const fs::path& mapPath, Use use, bool create = false) {
    const std::optional<tb::MapVariant> variant = tb::identifyMapFile(mapPath);
    if (!variant)
        throw std::runtime_error("map " + inQuotes(mapPath) + ": " + tb::unknownMapReason(mapPath));
    const std::string facet = std::to_string(staticsFacet(mapPath));
    const fs::path dir = mapPath.parent_path(); // empty for a map in the current folder
    MapStaticsPair pair{*variant,
                        {dir / ("staidx" + facet + ".mul"), dir / ("statics" + facet + ".mul")},
                        false,
                        {}};
    tb::StaticsFilePaths read = pair.files;
    if (use == Use::Change) {
        if (const std::string note = tb::recoverInterruptedCompaction(pair.files); !note.empty())
            std::cerr << "tbmap: " << note << '\n';
    } else {
        const tb::CompactionCheck check = tb::checkCompaction(pair.files);
        if (!check.note.empty())
            std::cerr << "tbmap: " << check.note << '\n';
        read = check.pair;
    }
    std::error_code ec;
    const bool index = fs::exists(read.index, ec);
    const bool data = fs::exists(read.data, ec);
    pair.exists = index && data;
    if (index != data) {
        const fs::path& missing = index ? read.data : read.index;
        const fs::path& there = index ? read.index : read.data;
        throw std::runtime_error("no " + inQuotes(missing) + " beside " + inQuotes(mapPath) + ": " +
                                 inQuotes(there) +
                                 " is there without it, and the pair is read and written only "
                                 "whole");
    }
    if (!pair.exists) {
        if (!create)
            throw std::runtime_error("no statics beside " + inQuotes(mapPath) + ": " +
                                     inQuotes(pair.files.index) + " and " +
                                     inQuotes(pair.files.data) + " are not both there");
        pair.statics = tb::StaticsMap::empty(variant->widthBlocks(), variant->heightBlocks());
        return pair;
    }
    tb::StaticsLoad load = tb::loadStatics(read, *variant);
    if (!load.warning.empty())
        std::cerr << "tbmap: " << load.warning << '\n';
    pair.statics = std::move(load.statics);
    return pair;
}

// The cell of arguments X and Y, inside the map.
std::pair<std::int32_t, std::int32_t> cellArguments(const Args& args, std::size_t at,
                                                    const tb::MapVariant& variant) {
    const std::int32_t x = intArgument("X", args[at]);
    const std::int32_t y = intArgument("Y", args[at + 1]);
    if (x < 0 || y < 0 || x >= variant.width || y >= variant.height)
        throw std::runtime_error("cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                 ") lies outside the " + tb::mapSizeText(variant.size()) + " map");
    return {x, y};
}

void save(MapStaticsPair& pair) {
    const tb::StaticsSaveReport report = tb::saveStatics(pair.statics, pair.files);
    if (const std::string warning =
            tb::movedEntriesWarning(pair.files, report, pair.variant.heightBlocks());
        !warning.empty())
        std::cerr << "tbmap: warning: " << warning << '\n';
    std::cout << "saved " << inQuotes(pair.files.data) << " (" << report.dataBytesWritten
              << " bytes appended) and " << inQuotes(pair.files.index) << '\n';
}

int runList(const Args& args) {
    if (args.size() != 3)
        return usageError("statics");
    const MapStaticsPair pair = openStatics(args[0], Use::Read);
    const auto [x, y] = cellArguments(args, 1, pair.variant);
    const std::vector<tb::CellItem> items = tb::itemsOnCell(pair.statics, x, y);
    std::cout << "(" << x << ", " << y << "): " << items.size()
              << (items.size() == 1 ? " item\n" : " items\n");
    for (const tb::CellItem& item : items)
        std::cout << "  " << hexId(item.record.id) << "  z " << int(item.record.z) << "  hue "
                  << item.record.hue << '\n';
    return 0;
}

int runAdd(const Args& args) {
    if (args.size() != 5 && !(args.size() == 7 && args[5] == "--hue"))
        return usageError("statics");
    MapStaticsPair pair = openStatics(args[0], Use::Change, true);
    const auto [x, y] = cellArguments(args, 1, pair.variant);
    const std::int32_t id = intArgument("ID", args[3]);
    const std::int32_t z = intArgument("Z", args[4]);
    const std::int32_t hue = args.size() == 7 ? intArgument("--hue", args[6]) : 0;
    if (id < 0 || id > 0xFFFF)
        return failure("ID " + std::to_string(id) + " is outside 0..65535");
    if (z < -128 || z > 127)
        return failure("Z " + std::to_string(z) + " is outside -128..127");
    if (hue < 0 || hue > 0xFFFF)
        return failure("--hue " + std::to_string(hue) + " is outside 0..65535");
    if (!pair.statics.isEditable(pair.statics.blockNumber(x / 8, y / 8)))
        return failure("the index entry of the block of (" + std::to_string(x) + ", " +
                       std::to_string(y) + ") in " + inQuotes(pair.files.index) +
                       " is damaged; its items are kept as they are");
    tb::addItem(pair.statics, {x, y, std::uint16_t(id), std::int8_t(z), std::uint16_t(hue)});
    std::cout << "added " << hexId(std::uint16_t(id)) << " at (" << x << ", " << y << ") z " << z
              << '\n';
    save(pair);
    return 0;
}

int runRemove(const Args& args) {
    if (args.size() != 3 && !(args.size() == 5 && args[3] == "--id"))
        return usageError("statics");
    MapStaticsPair pair = openStatics(args[0], Use::Change);
    const auto [x, y] = cellArguments(args, 1, pair.variant);
    std::optional<std::uint16_t> id;
    if (args.size() == 5) {
        const std::int32_t value = intArgument("--id", args[4]);
        if (value < 0 || value > 0xFFFF)
            return failure("--id " + std::to_string(value) + " is outside 0..65535");
        id = std::uint16_t(value);
    }
    if (!pair.statics.isEditable(pair.statics.blockNumber(x / 8, y / 8)))
        return failure("the index entry of the block of (" + std::to_string(x) + ", " +
                       std::to_string(y) + ") in " + inQuotes(pair.files.index) +
                       " is damaged; its items are kept as they are");
    const std::size_t removed = tb::removeItems(pair.statics, x, y, id);
    std::cout << "removed " << removed << (removed == 1 ? " item" : " items") << " from (" << x
              << ", " << y << ")\n";
    if (removed > 0)
        save(pair);
    return 0;
}

int runExport(const Args& args) {
    if (args.size() != 2 && args.size() != 6)
        return usageError("statics");
    const MapStaticsPair pair = openStatics(args[0], Use::Read);
    const tb::StaticsFilePaths backups = tb::compactionBackups(pair.files);
    checkOutput(args[1], {args[0], pair.files.index, pair.files.data, backups.index, backups.data,
                          tb::compactionJournal(pair.files)});
    std::int32_t x1 = 0, y1 = 0, x2 = pair.variant.width - 1, y2 = pair.variant.height - 1;
    if (args.size() == 6) {
        x1 = intArgument("X1", args[2]);
        y1 = intArgument("Y1", args[3]);
        x2 = intArgument("X2", args[4]);
        y2 = intArgument("Y2", args[5]);
        if (x2 < x1 || y2 < y1)
            return failure("the rectangle (" + args[2] + ", " + args[3] + ") - (" + args[4] + ", " +
                           args[5] +
                           ") holds no cell: X2 and Y2 must not be less than "
                           "X1 and Y1");
    }
    std::size_t leftOut = 0;
    const std::vector<tb::PlacedItem> items =
        tb::itemsInRect(pair.statics, x1, y1, x2, y2, &leftOut);
    tb::writeStaticsCsv(args[1], items);
    std::cout << "wrote " << items.size() << (items.size() == 1 ? " item" : " items") << " to "
              << inQuotes(args[1]);
    // Such records stand on no cell; the files keep them, the text cannot say where they are.
    if (leftOut > 0)
        std::cout << "; left out " << leftOut << (leftOut == 1 ? " record" : " records")
                  << " of the blocks read whose column or row inside the block is 8 or more "
                     "(kept in the statics files as they are)";
    std::cout << '\n';
    return 0;
}

int runImport(const Args& args) {
    if (args.size() != 2)
        return usageError("statics");
    MapStaticsPair pair = openStatics(args[0], Use::Change, true);
    // Every line is checked before anything is changed.
    const std::vector<tb::PlacedItem> items = tb::readStaticsCsv(args[1]);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const tb::PlacedItem& item = items[i];
        if (item.x >= pair.variant.width || item.y >= pair.variant.height)
            return failure(inQuotes(args[1]) + ": item " + std::to_string(i + 1) + " at (" +
                           std::to_string(item.x) + ", " + std::to_string(item.y) +
                           ") lies outside the " + tb::mapSizeText(pair.variant.size()) + " map");
        if (!pair.statics.isEditable(pair.statics.blockNumber(item.x / 8, item.y / 8)))
            return failure(inQuotes(args[1]) + ": item " + std::to_string(i + 1) +
                           " would go into a block whose entry in " + inQuotes(pair.files.index) +
                           " is damaged");
    }
    tb::addItems(pair.statics, items);
    std::cout << "added " << items.size() << " items from " << inQuotes(args[1]) << '\n';
    save(pair);
    return 0;
}

int runCompact(const Args& args) {
    if (args.size() != 1)
        return usageError("statics");
    const MapStaticsPair pair = openStatics(args[0], Use::Change);
    const tb::CompactReport report =
        tb::compactStatics(pair.files, pair.variant.widthBlocks(), pair.variant.heightBlocks());
    std::cout << "compacted " << inQuotes(pair.files.data) << ": " << report.bytesBefore
              << " bytes before, " << report.bytesAfter << " after, " << report.recordsKept
              << " records\n";
    return 0;
}

// The tiledata of a game folder; FileError when it cannot be read.
tb::TileData gameTileData(const fs::path& gameDir) {
    return tb::TileData::load(gameDir / "tiledata.mul");
}

} // namespace

int runStatics(const Args& args) {
    if (args.empty())
        return usageError("statics");
    const std::string verb = args[0];
    const Args rest(args.begin() + 1, args.end());
    if (verb == "list")
        return runList(rest);
    if (verb == "add")
        return runAdd(rest);
    if (verb == "remove")
        return runRemove(rest);
    if (verb == "export")
        return runExport(rest);
    if (verb == "import")
        return runImport(rest);
    if (verb == "compact")
        return runCompact(rest);
    return usageError("statics");
}

int runItem(const Args& args) {
    if (args.size() != 3)
        return usageError("item");
    const fs::path gameDir = args[0];
    const std::int32_t id = intArgument("ID", args[1]);
    if (id < 0 || id > 0xFFFF)
        return failure("ID " + std::to_string(id) + " is outside 0..65535");
    checkOutput(args[2], artInputs(gameDir));
    tb::ArtFiles art;
    art.load(gameDir);
    const tb::ItemImage image = tb::itemArtImage(art, std::uint16_t(id));
    if (image.placeholder)
        return failure("item " + hexId(std::uint16_t(id)) + ": the art of " + inQuotes(gameDir) +
                       " holds no usable picture of it (missing, or its entry is damaged)");
    QImage picture(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint16_t p = image.pixels[std::size_t(y * image.width + x)];
            const tb::Rgb c = tb::rgb555ToColor(p);
            picture.setPixel(x, y, image.opaqueAt(x, y) ? qRgb(c.red, c.green, c.blue) : 0);
        }
    tbrender::writePngFile(picture, args[2]);
    std::cout << "wrote " << inQuotes(args[2]) << " (" << image.width << " x " << image.height
              << ")\n";
    return 0;
}

int runTileData(const Args& args) {
    if (args.size() != 2)
        return usageError("tiledata");
    const std::int32_t id = intArgument("ID", args[1]);
    if (id < 0 || id > 0xFFFF)
        return failure("ID " + std::to_string(id) + " is outside 0..65535");
    const tb::TileData data = gameTileData(args[0]);
    if (std::size_t(id) >= data.itemCount())
        return failure("item " + hexId(std::uint16_t(id)) + ": " +
                       inQuotes(fs::path(args[0]) / "tiledata.mul") + " holds " +
                       std::to_string(data.itemCount()) + " items");
    const tb::ItemData& item = data.item(std::uint16_t(id));
    std::cout << "item: " << hexId(std::uint16_t(id)) << '\n'
              << "name: " << item.name << '\n'
              << "height: " << int(item.height) << '\n'
              << "flags: " << tb::tileFlagsText(item.flags) << '\n'
              << "weight: " << int(item.weight) << '\n'
              << "hue: " << int(item.hue) << '\n'
              << "animation: " << item.animation << '\n';
    return 0;
}

} // namespace tbcli

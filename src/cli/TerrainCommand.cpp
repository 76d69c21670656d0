// tbmap terrain paint, check and fix: the Terrain tool's stroke, the check for cells whose
// tile does not fit its corners, and Fix edges, on a map file with a terrain file.
#include "CommandChecks.h"
#include "Commands.h"

#include "catalogue/TerrainFile.h"
#include "catalogue/TerrainTiles.h"
#include "core/MapFile.h"
#include "core/MapImage.h"
#include "editor/TerrainEdits.h"
#include "shell/SeededRandomSource.h"

#include <iostream>
#include <optional>
#include <stdexcept>

namespace tbcli {
namespace {

// Exit code of a check that found cells that do not fit.
constexpr int kUnfitCells = 3;
constexpr int kMaxSize = 4096;

tb::MapImage loadKnownMap(const std::string& path) {
    tb::MapImage map = tb::MapImage::load(path);
    if (!map.hasGeometry())
        throw std::runtime_error(inQuotes(path) +
                                 " is not a known map file: " + tb::unknownMapReason(path));
    return map;
}

// The words of a call without its options, and the options' values.
struct Call {
    std::vector<std::string> words;
    std::optional<std::string> size;
    std::optional<std::string> seed;
};

// Splits `args` into words and options (--seed, and --size where it is allowed); nullopt
// for a call that is wrong (an unknown option, one without a value, one given twice).
std::optional<Call> splitCall(const Args& args, bool sizeAllowed) {
    Call call;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::optional<std::string>* option = nullptr;
        if (args[i] == "--seed")
            option = &call.seed;
        else if (args[i] == "--size" && sizeAllowed)
            option = &call.size;
        if (!option) {
            if (args[i].starts_with("--"))
                return std::nullopt;
            call.words.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size() || option->has_value())
            return std::nullopt;
        *option = args[++i];
    }
    return call;
}

std::uint32_t seedOf(const Call& call) {
    // Any 32-bit integer, decimal or $hex; the same seed always gives the same tiles.
    return call.seed ? std::uint32_t(intArgument("--seed", *call.seed)) : 1u;
}

std::int32_t coordinate(const char* name, const std::string& text, int limit) {
    const std::int32_t value = intArgument(name, text);
    if (value < 0 || value >= limit)
        throw std::runtime_error(std::string(name) + " " + text + " is outside 0.." +
                                 std::to_string(limit - 1));
    return value;
}

// The rectangle of words[at..at + 3] (X1 Y1 X2 Y2), inside the map.
tb::CellRect rectangle(const std::vector<std::string>& words, std::size_t at,
                       const tb::MapImage& map) {
    const tb::CellRect rect{coordinate("X1", words[at], map.width()),
                            coordinate("Y1", words[at + 1], map.height()),
                            coordinate("X2", words[at + 2], map.width()),
                            coordinate("Y2", words[at + 3], map.height())};
    if (rect.right < rect.left)
        throw std::runtime_error("X2 " + words[at + 2] + " is less than X1 " + words[at]);
    if (rect.bottom < rect.top)
        throw std::runtime_error("Y2 " + words[at + 3] + " is less than Y1 " + words[at + 1]);
    return rect;
}

void printCells(const std::vector<tb::CellPoint>& cells) {
    for (const tb::CellPoint& c : cells)
        std::cout << c.x << ',' << c.y << '\n';
}

// Prints the cells left as they were for want of a tile and the counts; writes the map
// when a cell changed.
int finish(tb::MapImage& map, const std::string& mapPath, const tb::TerrainEditResult& result) {
    printCells(result.missing);
    if (result.changed > 0)
        map.save(mapPath);
    std::cout << "cells changed: " << result.changed << '\n'
              << "missing transitions: " << result.missing.size() << '\n';
    return 0;
}

int paint(const Call& call) {
    if (call.words.size() != 6)
        return usageError("terrain");
    const std::string& mapPath = call.words[1];
    const std::string& terrainPath = call.words[2];
    const std::string& name = call.words[3];
    const int size = call.size ? intArgument("--size", *call.size) : 1;
    if (size < 1 || size > kMaxSize)
        return failure("--size " + *call.size + " is outside 1.." + std::to_string(kMaxSize));
    const std::uint32_t seed = seedOf(call);
    const tb::TerrainSet set = tb::readTerrainFile(terrainPath);
    const std::optional<tb::TerrainId> terrain = set.findTerrain(name);
    if (!terrain)
        return failure("\"" + name + "\" is no terrain of " + inQuotes(terrainPath));
    tb::MapImage map = loadKnownMap(mapPath);
    const std::int32_t x = coordinate("X", call.words[4], map.width());
    const std::int32_t y = coordinate("Y", call.words[5], map.height());
    tb::SeededRandomSource random(seed);
    const tb::TerrainEditResult result = tb::paintTerrain(map, tb::TerrainTiles(set), *terrain,
                                                          tb::centredSquare(x, y, size), random);
    return finish(map, mapPath, result);
}

int check(const Call& call) {
    if ((call.words.size() != 3 && call.words.size() != 7) || call.seed)
        return usageError("terrain");
    const tb::TerrainTiles tiles(tb::readTerrainFile(call.words[2]));
    const tb::MapImage map = loadKnownMap(call.words[1]);
    const tb::CellRect rect =
        call.words.size() == 7 ? rectangle(call.words, 3, map) : tb::wholeMap(map);
    const std::vector<tb::CellPoint> unfit = tb::checkTerrain(map, tiles, rect);
    printCells(unfit);
    std::cout << "cells that do not fit their corners: " << unfit.size() << '\n';
    return unfit.empty() ? 0 : kUnfitCells;
}

int fix(const Call& call) {
    if (call.words.size() != 7)
        return usageError("terrain");
    const std::string& mapPath = call.words[1];
    const std::uint32_t seed = seedOf(call);
    const tb::TerrainTiles tiles(tb::readTerrainFile(call.words[2]));
    tb::MapImage map = loadKnownMap(mapPath);
    const tb::CellRect rect = rectangle(call.words, 3, map);
    tb::SeededRandomSource random(seed);
    const tb::TerrainEditResult result = tb::fixTerrainEdges(map, tiles, rect, random);
    return finish(map, mapPath, result);
}

} // namespace

int runTerrain(const Args& args) {
    const std::optional<Call> call = splitCall(args, !args.empty() && args[0] == "paint");
    if (!call || call->words.empty())
        return usageError("terrain");
    const std::string& what = call->words[0];
    if (what == "paint")
        return paint(*call);
    if (what == "check")
        return check(*call);
    if (what == "fix")
        return fix(*call);
    return usageError("terrain");
}

} // namespace tbcli

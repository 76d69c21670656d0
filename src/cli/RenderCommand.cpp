// tbmap render: a rectangle of cells drawn exactly as the editor's map view draws them (the
// same cell drawing, without selection, bookmarks or altitudes), at a chosen cell size,
// optionally with the statics markers, written as a PNG picture. With --iso the cells are
// drawn as the isometric view draws them (IsoRenderCommand.cpp).
#include "RenderCommand.h"
#include "CommandChecks.h"
#include "Commands.h"
#include "MapStatics.h"

#include "core/ArtFiles.h"
#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/PngRowWriter.h"
#include "render/MapCellPainter.h"
#include "shell/NumberText.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace tbcli {
namespace {

constexpr int kDefaultCellSize = 8;
constexpr int kMaxCellSize = 2048; // the largest cell the map view draws
constexpr std::int64_t kMaxPictureSide = 16384;
constexpr int kBandRows = 256; // 16 MB of pixels at the widest

std::string rangeText(std::int32_t last) {
    return "0.." + std::to_string(last);
}

} // namespace

std::optional<std::string> cellRangeProblem(const tb::MapImage& map, std::int32_t x1,
                                            std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const std::int32_t lastX = map.width() - 1;
    const std::int32_t lastY = map.height() - 1;
    const struct {
        const char* name;
        std::int32_t value;
        std::int32_t last;
    } coordinates[] = {{"X1", x1, lastX}, {"Y1", y1, lastY}, {"X2", x2, lastX}, {"Y2", y2, lastY}};
    for (const auto& c : coordinates)
        if (c.value < 0 || c.value > c.last)
            return std::string(c.name) + " " + std::to_string(c.value) + " is outside the map (" +
                   rangeText(c.last) + ")";
    if (x2 < x1)
        return "X2 " + std::to_string(x2) + " is less than X1 " + std::to_string(x1);
    if (y2 < y1)
        return "Y2 " + std::to_string(y2) + " is less than Y1 " + std::to_string(y1);
    return std::nullopt;
}

namespace {

// Why the rectangle cannot be drawn; nothing when it can.
std::optional<std::string> rectangleProblem(const tb::MapImage& map, std::int32_t x1,
                                            std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                            int cellSize) {
    if (auto problem = cellRangeProblem(map, x1, y1, x2, y2))
        return problem;
    const std::int64_t width = (std::int64_t(x2) - x1 + 1) * cellSize;
    const std::int64_t height = (std::int64_t(y2) - y1 + 1) * cellSize;
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return "the picture would be " + std::to_string(width) + " x " + std::to_string(height) +
               " pixels, more than " + std::to_string(kMaxPictureSide) +
               " on a side: take fewer cells or a smaller --cell";
    return std::nullopt;
}

} // namespace

int runRender(const Args& args) {
    std::vector<std::string> positional;
    bool withStatics = false;
    bool iso = false;
    std::optional<std::string> cellText;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--statics")
            withStatics = true;
        else if (args[i] == "--iso")
            iso = true;
        else if (args[i] == "--cell" && i + 1 < args.size())
            cellText = args[++i];
        else if (args[i].starts_with("--"))
            return usageError("render");
        else
            positional.push_back(args[i]);
    }
    if (positional.size() != 7 || (iso && cellText))
        return usageError("render");
    if (iso)
        return runIsoRender(positional, withStatics);
    const fs::path mapPath = positional[0];
    const fs::path gameDir = positional[1];
    const fs::path outPath = positional[6];
    const std::int32_t x1 = intArgument("X1", positional[2]);
    const std::int32_t y1 = intArgument("Y1", positional[3]);
    const std::int32_t x2 = intArgument("X2", positional[4]);
    const std::int32_t y2 = intArgument("Y2", positional[5]);
    const int cellSize = cellText ? intArgument("--cell", *cellText) : kDefaultCellSize;
    if (cellSize < 1 || cellSize > kMaxCellSize)
        return failure("--cell " + std::to_string(cellSize) + " is outside 1.." +
                       std::to_string(kMaxCellSize));

    const tb::MapImage map = tb::MapImage::load(mapPath);
    if (!map.hasGeometry())
        return failure(inQuotes(mapPath) +
                       " is not a known map file: " + tb::unknownMapReason(mapPath));
    if (const auto problem = rectangleProblem(map, x1, y1, x2, y2, cellSize))
        return failure(*problem);
    std::vector<fs::path> inputs = artInputs(gameDir);
    if (withStatics) {
        const std::vector<fs::path> staticsInputs = mapStaticsInputs(mapPath, gameDir);
        inputs.insert(inputs.end(), staticsInputs.begin(), staticsInputs.end());
    }
    inputs.push_back(mapPath);
    checkOutput(outPath, inputs);
    tb::ArtFiles art;
    art.load(gameDir);
    std::optional<MapStatics> statics;
    if (withStatics)
        statics = loadMapStatics(mapPath, gameDir, map);

    tbrender::MapCellPainter cells;
    cells.setMap(&map);
    cells.setArt(&art);
    tbrender::CellViewSwitches switches;
    switches.showStatics = withStatics;
    cells.setSwitches(switches);
    if (statics)
        cells.setStatics(&statics->load.statics, &statics->colours);

    // The picture is drawn and encoded a band of pixel rows at a time, so the largest
    // (16384 x 16384, 1 GiB of pixels) needs a few megabytes; a cell row cut by a band's
    // edge is drawn into both bands, each keeping its own part.
    const int width = (x2 - x1 + 1) * cellSize;
    const int height = (y2 - y1 + 1) * cellSize;
    tb::PngRowWriter png(outPath, width, height);
    QImage band(width, std::min(height, kBandRows), QImage::Format_RGB32);
    if (band.isNull())
        return failure("not enough memory for a band of " + std::to_string(width) + " x " +
                       std::to_string(kBandRows) + " pixels");
    for (int top = 0; top < height; top += kBandRows) {
        const int rows = std::min(kBandRows, height - top);
        tbrender::PixelSurface surface = tbrender::PixelSurface::of(band);
        surface.height = rows;
        {
            QPainter painter(&band);
            painter.setClipRect(0, 0, width, rows);
            for (std::int32_t y = y1 + top / cellSize; y <= y1 + (top + rows - 1) / cellSize; ++y)
                cells.drawRow(painter, &surface, y, x1, x2,
                              QRect(0, (y - y1) * cellSize - top, cellSize, cellSize), cellSize,
                              -1);
        }
        png.writeRows(reinterpret_cast<const std::uint32_t*>(band.constBits()),
                      band.bytesPerLine() / 4, rows);
    }
    png.finish();
    return 0;
}

} // namespace tbcli

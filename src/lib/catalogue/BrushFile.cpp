#include "catalogue/BrushFile.h"

#include "catalogue/CatalogueNames.h"
#include "catalogue/TileGroup.h"
#include "shell/LineFile.h"
#include "shell/TextSplit.h"

#include <algorithm>
#include <cstdio>

namespace tb {

std::vector<std::string> listBrushNames(const std::filesystem::path& appDir) {
    return listCatalogueNames(appDir, kBrushesFolder, kBrushExtension);
}

std::filesystem::path brushFilePath(const std::filesystem::path& appDir, std::string_view name) {
    // The name alone is checked: an empty name would otherwise pass as the file ".brs".
    checkCatalogueName("brush", name, kBrushesFolder);
    return catalogueFilePath(appDir, kBrushesFolder, "brush",
                             std::string(name) + std::string(kBrushExtension));
}

std::vector<std::string> readBrushLines(const std::filesystem::path& appDir,
                                        std::string_view name) {
    return readLines(brushFilePath(appDir, name));
}

void writeBrushLines(const std::filesystem::path& appDir, std::string_view name,
                     const std::vector<std::string>& lines) {
    writeLines(brushFilePath(appDir, name), lines);
}

std::string brushCellText(std::int32_t tileId) {
    char text[16];
    std::snprintf(text, sizeof text, "$%04X", static_cast<unsigned>(tileId) & 0xFFFFu);
    return text;
}

std::vector<BrushCell> parseBrushLines(const std::vector<std::string>& lines) {
    std::vector<BrushCell> cells;
    for (const std::string& line : lines) {
        // Three fields at least: "1,2" is no cell.
        if (std::count(line.begin(), line.end(), ',') < 2)
            continue;
        std::int32_t dx = 0;
        std::int32_t dy = 0;
        std::int32_t tileId = 0;
        if (splitIntTriple(",", line, dx, dy, tileId))
            cells.push_back({dx, dy, checkedTileId(tileId)});
    }
    return cells;
}

} // namespace tb

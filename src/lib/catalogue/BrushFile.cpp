#include "catalogue/BrushFile.h"

#include "catalogue/CatalogueNames.h"
#include "catalogue/TileGroup.h"
#include "shell/LineFile.h"
#include "shell/TextSplit.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace tb {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size())
        return false;
    text = text.substr(text.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (lowerAscii(text[i]) != lowerAscii(suffix[i]))
            return false;
    return true;
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return lowerAscii(x) < lowerAscii(y);
    });
}

} // namespace

std::vector<std::string> listBrushNames(const std::filesystem::path& appDir) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(catalogueFolder(appDir, kBrushesFolder), error);
    if (error)
        return names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        const std::u8string u8name = it->path().filename().u8string();
        std::string name(u8name.begin(), u8name.end());
        if (!endsWithIgnoringCase(name, kBrushExtension) || !it->is_regular_file(error))
            continue;
        name.resize(name.size() - kBrushExtension.size());
        if (!name.empty())
            names.push_back(std::move(name));
    }
    // The folder listing's order differs between file systems; by name it is stable.
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    return names;
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

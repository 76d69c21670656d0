#include "catalogue/TextureList.h"

#include "catalogue/CatalogueNames.h"
#include "shell/Errors.h"
#include "shell/LineFile.h"
#include "shell/NumberText.h"
#include "shell/SpacedHex.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace tb {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return lowerAscii(x) < lowerAscii(y);
    });
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

// The parts of a relative path written with "\" or "/".
std::vector<std::string_view> pathParts(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            if (i > start)
                parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::optional<std::filesystem::path> findEntryIgnoringCase(const std::filesystem::path& folder,
                                                           std::string_view name) {
    std::error_code error;
    const std::filesystem::path exact = folder / utf8Path(name);
    if (std::filesystem::exists(exact, error))
        return exact;
    std::filesystem::directory_iterator it(folder, error);
    if (error)
        return std::nullopt;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            return std::nullopt;
        if (equalsIgnoringCase(it->path().filename().string(), name))
            return it->path();
    }
    return std::nullopt;
}

std::filesystem::path resolveAppPath(const std::filesystem::path& appDir,
                                     std::string_view relativePath) {
    std::filesystem::path result = appDir;
    for (const std::string_view part : pathParts(relativePath)) {
        if (const auto found = findEntryIgnoringCase(result, part))
            result = *found;
        else
            result /= utf8Path(part);
    }
    return result;
}

std::int32_t textureListValue(std::string_view line) {
    const std::size_t equals = line.find('=');
    return strToInt(equals == std::string_view::npos ? line : line.substr(equals + 1));
}

std::string paletteRowText(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X",
                  static_cast<unsigned>(static_cast<std::uint32_t>(value)));
    return text;
}

std::optional<std::uint16_t> paletteRowTileId(std::string_view rowText) {
    if (rowText.size() < 4)
        return std::nullopt;
    int id = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const int digit = hexDigit(rowText[i]);
        if (digit < 0)
            return std::nullopt;
        id = id * 16 + digit;
    }
    return static_cast<std::uint16_t>(id);
}

void fillPaletteRows(const std::vector<std::string>& lines, std::vector<std::string>& rows) {
    rows.resize(std::max<std::size_t>(lines.size(), 1));
    if (lines.empty()) {
        rows[0].clear();
        return;
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        rows[i] = paletteRowText(textureListValue(lines[i]));
}

void loadTextureList(const std::filesystem::path& appDir, std::string_view relativePath,
                     std::vector<std::string>& rows) {
    const std::vector<std::string> lines = readLines(resolveAppPath(appDir, relativePath));
    fillPaletteRows(lines, rows);
}

int findPaletteRow(const std::vector<std::string>& rows, std::int32_t id) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (paletteRowTileId(rows[i]) == id)
            return int(i);
    return -1;
}

std::optional<PaletteTarget> paletteGo(bool sortedView, const std::vector<std::string>& rows,
                                       std::int32_t id) {
    if (sortedView) {
        const int row = findPaletteRow(rows, id);
        if (row < 0)
            return std::nullopt;
        return PaletteTarget{static_cast<std::uint16_t>(id), row};
    }
    if (id < 0 || id >= kFullPaletteRows)
        return std::nullopt;
    return PaletteTarget{static_cast<std::uint16_t>(id), id};
}

std::int32_t parseFindIdText(std::string_view text) {
    const std::string withDollar = "$" + std::string(text);
    if (const auto value = tryStrToInt(withDollar))
        return *value;
    throw ConversionError(notAnIntegerMessage(withDollar));
}

std::optional<std::uint16_t> paletteRowTile(bool sortedView, const std::vector<std::string>& rows,
                                            int row) {
    if (!sortedView)
        return row >= 0 && row < kFullPaletteRows
                   ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(row))
                   : std::nullopt;
    if (row < 0 || std::size_t(row) >= rows.size())
        return std::nullopt;
    return paletteRowTileId(rows[std::size_t(row)]);
}

std::string paletteIdLabel(std::int32_t id) {
    return " " + intToSpacedHex(id, 2) + " ";
}

std::vector<ListMenuEntry> buildListMenu(const std::filesystem::path& appDir,
                                         std::string_view currentPath) {
    std::vector<ListMenuEntry> entries;
    const auto folder = findEntryIgnoringCase(appDir, kTexturesFolder);
    if (!folder)
        return entries;
    std::error_code error;
    std::filesystem::directory_iterator it(*folder, error);
    if (error)
        return entries;
    std::vector<std::string> names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            break;
        std::string name = it->path().filename().string();
        // "*.lst" matches files and folders alike, as the listing gives them.
        if (endsWithIgnoringCase(name, ".lst"))
            names.push_back(std::move(name));
    }
    // The folder listing's order differs between file systems; by name it is stable.
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    const std::vector<std::string_view> current = pathParts(currentPath);
    const bool inTextures = current.size() == 2 && equalsIgnoringCase(current[0], kTexturesFolder);
    for (std::string& name : names) {
        const bool checked = inTextures && equalsIgnoringCase(current[1], name);
        entries.push_back({std::move(name), checked});
    }
    return entries;
}

std::string textureListPath(std::string_view fileName) {
    return std::string(kTexturesFolder) + "/" + std::string(fileName);
}

} // namespace tb

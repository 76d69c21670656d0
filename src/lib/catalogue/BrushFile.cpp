#include "catalogue/BrushFile.h"

#include "catalogue/CatalogueNames.h"
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

const std::string& noDrawText() {
    static const std::string text(kNoDraw);
    return text;
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

BrushPattern::BrushPattern() {
    setColCount(kOpeningSize);
    setRowCount(kOpeningSize);
}

void BrushPattern::setColCount(int count) {
    m_colCount = std::clamp(count, kMinSize, kMaxLoadedExtent);
}

void BrushPattern::setRowCount(int count) {
    m_rowCount = std::clamp(count, kMinSize, kMaxLoadedExtent);
}

const std::string& BrushPattern::cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount || col >= m_storeCols ||
        row >= m_storeRows)
        return noDrawText();
    const std::string& text = m_store[std::size_t(col) * m_storeRows + row];
    return text.empty() ? noDrawText() : text;
}

std::int32_t BrushPattern::cellTile(int col, int row) const {
    const std::string& text = cell(col, row);
    if (text == kNoDraw || text.size() != 5)
        return -1;
    return std::stoi(text.substr(1), nullptr, 16);
}

std::string& BrushPattern::slot(int col, int row) {
    if (col >= m_storeCols || row >= m_storeRows) {
        const int cols = std::max(m_storeCols, col + 1);
        const int rows = std::max(m_storeRows, row + 1);
        std::vector<std::string> grown(std::size_t(cols) * rows);
        for (int c = 0; c < m_storeCols; ++c)
            for (int r = 0; r < m_storeRows; ++r)
                grown[std::size_t(c) * rows + r] =
                    std::move(m_store[std::size_t(c) * m_storeRows + r]);
        m_store = std::move(grown);
        m_storeCols = cols;
        m_storeRows = rows;
    }
    return m_store[std::size_t(col) * m_storeRows + row];
}

void BrushPattern::setCell(int col, int row, std::int32_t pen) {
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount)
        return;
    slot(col, row) = pen == -1 ? std::string(kNoDraw) : brushCellText(pen);
}

void BrushPattern::load(const std::vector<std::string>& lines) {
    m_store.clear();
    m_storeCols = 0;
    m_storeRows = 0;
    m_colCount = 1;
    m_rowCount = 1;
    for (const std::string& line : lines) {
        int col = 0;
        int row = 0;
        int tile = 0;
        // Three fields at least, all integers: "1,2" or "1,x,3" is no cell.
        if (std::count(line.begin(), line.end(), ',') < 2 ||
            !splitIntTriple(",", line, col, row, tile))
            continue;
        if (col < 0 || row < 0 || col >= kMaxLoadedExtent || row >= kMaxLoadedExtent || tile < 0 ||
            tile > 0xFFFF)
            continue;
        m_colCount = std::max(m_colCount, col + 1);
        m_rowCount = std::max(m_rowCount, row + 1);
        slot(col, row) = brushCellText(tile);
    }
}

std::vector<std::string> BrushPattern::fileLines() const {
    std::vector<std::string> lines;
    for (int col = 0; col < m_colCount; ++col)
        for (int row = 0; row < m_rowCount; ++row) {
            const std::string& text = cell(col, row);
            if (text != kNoDraw)
                lines.push_back(std::to_string(col) + "," + std::to_string(row) + "," + text);
        }
    return lines;
}

} // namespace tb

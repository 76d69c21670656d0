#include "catalogue/BrushPattern.h"

#include "catalogue/BrushFile.h"

#include <algorithm>

namespace tb {
namespace {

const std::string& noDrawText() {
    static const std::string text(kNoDraw);
    return text;
}

} // namespace

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
    for (const BrushCell& cell : parseBrushLines(lines)) {
        const int col = cell.dx;
        const int row = cell.dy;
        if (col < 0 || row < 0 || col >= kMaxLoadedExtent || row >= kMaxLoadedExtent ||
            !cell.tileId.ok())
            continue;
        m_colCount = std::max(m_colCount, col + 1);
        m_rowCount = std::max(m_rowCount, row + 1);
        slot(col, row) = brushCellText(cell.tileId.get());
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

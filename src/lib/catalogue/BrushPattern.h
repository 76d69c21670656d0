#pragma once
// The cell grid that the brush editor draws on, loaded from and saved to a brush file's
// lines (catalogue/BrushFile.h).

#include <cstdint>
#include <string>
#include <vector>

namespace tb {

// The brush editor's grid: cols x rows cells, each "NODRAW" or a tile id text. Cells keep
// their text when the grid shrinks and show it again when it grows; only cells inside the
// current size count for saving.
class BrushPattern {
public:
    // The range of the editor's up-downs; a loaded file may make the grid larger.
    static constexpr int kMinSize = 1;
    static constexpr int kMaxSize = 10;
    static constexpr int kOpeningSize = 5;
    // Cells of a file beyond this column or row are not loaded: a hostile file must not
    // make the grid allocate without bound.
    static constexpr int kMaxLoadedExtent = 256;

    // A 5 x 5 grid of "NODRAW" cells.
    BrushPattern();

    int colCount() const { return m_colCount; }
    int rowCount() const { return m_rowCount; }
    // Clamped to 1 .. kMaxLoadedExtent.
    void setColCount(int count);
    void setRowCount(int count);

    // The cell's text; "NODRAW" outside the grid or for a cell never set.
    const std::string& cell(int col, int row) const;
    // The tile id of a cell, or -1 for "NODRAW".
    std::int32_t cellTile(int col, int row) const;
    // Puts the pen into a cell of the grid: -1 clears it to "NODRAW", any other value
    // becomes brushCellText(pen). Cells outside the grid are left alone.
    void setCell(int col, int row, std::int32_t pen);

    // Loads a brush file's lines: every cell is cleared, the grid becomes 1 x 1 and then
    // grows to (largest column + 1) x (largest row + 1). Each line is "column,row,tile"
    // with each field decimal or "$" hex and trailing blanks ignored. Lines that are not
    // three integers, that name a negative column or row or one from kMaxLoadedExtent,
    // or a tile id outside 0 .. $FFFF are skipped.
    void load(const std::vector<std::string>& lines);

    // The brush file's lines for the cells inside the grid that hold a tile, column by
    // column and within a column row by row: "2,1,$01D3".
    std::vector<std::string> fileLines() const;

private:
    std::string& slot(int col, int row);

    int m_colCount = kOpeningSize;
    int m_rowCount = kOpeningSize;
    // Column-major store as large as the grid has ever been.
    int m_storeCols = 0;
    int m_storeRows = 0;
    std::vector<std::string> m_store;
};

} // namespace tb

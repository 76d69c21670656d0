#include "share/DocumentFacetCopy.h"

#include "core/StaticsMap.h"
#include "share/StrokeBlocks.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace tb {

DocumentFacetCopy::DocumentFacetCopy(MapDocument& document, MapImage map, StaticsMap statics)
    : m_document(document), m_map(std::move(map)), m_statics(std::move(statics)) {
    if (m_document.image().size() != m_map.size() || !m_map.hasGeometry())
        throw std::invalid_argument("the document does not show the shared facet");
    const StaticsMap* items = m_document.statics();
    if (items && (items->widthBlocks() != m_statics.widthBlocks() ||
                  items->heightBlocks() != m_statics.heightBlocks()))
        throw std::invalid_argument("the document's statics are not the shared facet's");
    m_connection = m_document.connect(this);
}

DocumentFacetCopy::~DocumentFacetCopy() = default;

void DocumentFacetCopy::note(std::int32_t x, std::int32_t y) {
    const MapCell now = m_document.image().cellUnchecked(x, y);
    const MapCell was = m_map.cellUnchecked(x, y);
    if (now == was)
        return;
    m_edits.push_back(CellEdit{x, y, was, now});
    m_map.setCellUnchecked(x, y, now);
}

void DocumentFacetCopy::cellsChanged(const CellChange& change) {
    if (change.external || m_detached)
        return;
    if (change.changesItems())
        noteItems(change.itemBounds);
    if (change.bounds.isEmpty())
        return;
    if (change.listsCells()) {
        for (const CellPoint& cell : change.cells)
            if (m_map.contains(cell.x, cell.y))
                note(cell.x, cell.y);
        return;
    }
    // A large operation (a patch, an import) names only its rectangle: compare it whole.
    const CellRect& r = change.bounds;
    for (std::int32_t y = std::max(r.top, 0); y <= std::min(r.bottom, m_map.height() - 1); ++y)
        for (std::int32_t x = std::max(r.left, 0); x <= std::min(r.right, m_map.width() - 1); ++x)
            note(x, y);
}

// Item changes name the cells whose items changed; the blocks holding them are compared.
void DocumentFacetCopy::noteItems(const CellRect& cells) {
    const StaticsMap* items = m_document.statics();
    if (!items)
        return;
    const int right = std::min(cells.right / 8, items->widthBlocks() - 1);
    const int bottom = std::min(cells.bottom / 8, items->heightBlocks() - 1);
    for (int bx = std::max(cells.left / 8, 0); bx <= right; ++bx)
        for (int by = std::max(cells.top / 8, 0); by <= bottom; ++by) {
            const std::size_t block = items->blockNumber(bx, by);
            std::vector<StaticRecord> now = items->records(block);
            const std::vector<StaticRecord> was = m_statics.records(block);
            if (now == was)
                continue;
            for (ItemEdit& edit : itemEditsBetween(bx, by, was, now))
                m_itemEdits.push_back(edit);
            m_statics.setRecords(block, now);
        }
}

Stroke DocumentFacetCopy::takeStroke() {
    Stroke stroke;
    stroke.id = newStrokeId();
    stroke.cells = std::exchange(m_edits, {});
    stroke.items = std::exchange(m_itemEdits, {});
    return stroke;
}

void DocumentFacetCopy::putLandBlock(std::uint32_t block, std::span<const unsigned char> bytes) {
    const int blocksHigh = m_map.height() / kCellsPerBlockSide;
    const std::size_t at = std::size_t(block) * kBlockSize;
    if (bytes.size() != std::size_t(kBlockSize) || at + std::size_t(kBlockSize) > m_map.size())
        throw std::out_of_range("land block " + std::to_string(block) + " is not in the map");
    std::copy(bytes.begin(), bytes.end(), m_map.writableBytes().begin() + std::ptrdiff_t(at));
    const std::int32_t left = std::int32_t(block / std::uint32_t(blocksHigh)) * kCellsPerBlockSide;
    const std::int32_t top = std::int32_t(block % std::uint32_t(blocksHigh)) * kCellsPerBlockSide;
    // The builder's edits not yet taken stay over what the server holds.
    for (const CellEdit& edit : m_edits)
        if (edit.x >= left && edit.x < left + kCellsPerBlockSide && edit.y >= top &&
            edit.y < top + kCellsPerBlockSide)
            m_map.setCellUnchecked(edit.x, edit.y, edit.after);
    MapDocument::Edit edit(m_document, MapDocument::Undo::External);
    for (std::int32_t y = top; y < top + kCellsPerBlockSide; ++y)
        for (std::int32_t x = left; x < left + kCellsPerBlockSide; ++x)
            if (edit.cell(x, y) != m_map.cellUnchecked(x, y))
                edit.write(x, y, m_map.cellUnchecked(x, y));
}

void DocumentFacetCopy::putStaticsBlock(std::uint32_t block,
                                        std::span<const unsigned char> records) {
    if (block >= m_statics.blockCount())
        throw std::out_of_range("statics block " + std::to_string(block) + " is not in the map");
    std::map<std::uint32_t, std::vector<StaticRecord>> put{{block, readStaticRecords(records)}};
    if (!m_itemEdits.empty()) {
        // The builder's item edits not yet taken stay over what the server holds.
        Stroke pending;
        pending.items = m_itemEdits;
        StrokeApplication counts;
        StrokeBlocks(pending, m_statics.widthBlocks(), m_statics.heightBlocks())
            .applyItems(put, counts);
    }
    m_statics.setRecords(block, put[block]);
    if (m_document.statics())
        MapDocument::Edit(m_document, MapDocument::Undo::External).putItems(block, put[block]);
}

} // namespace tb

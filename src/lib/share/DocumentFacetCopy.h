#pragma once
// An editor document as the builder's copy of a shared facet. The document shows the land
// and the items; beside it the copy keeps the facet as last committed or put (block headers
// included), so what the document changed since can be taken as a stroke: every cell whose
// value differs, with its value before and after, and the item edits that turn each changed
// block's records into the document's. Blocks the session puts are written into the
// document as external changes (in no undo step, not modifying it), with the builder's own
// edits not yet taken shown over them.

#include "editor/MapDocument.h"
#include "share/FacetCopy.h"
#include "share/Stroke.h"

#include <vector>

namespace tb {

class DocumentFacetCopy : public FacetCopy, private DocumentListener {
public:
    // `document` shows `map`'s cells already (it was given a copy of it), and `statics`'
    // items when it has statics; it must outlive this object.
    DocumentFacetCopy(MapDocument& document, MapImage map, StaticsMap statics);
    ~DocumentFacetCopy() override;
    DocumentFacetCopy(const DocumentFacetCopy&) = delete;
    DocumentFacetCopy& operator=(const DocumentFacetCopy&) = delete;

    const MapImage& map() const override { return m_map; }
    const StaticsMap& statics() const override { return m_statics; }
    void putLandBlock(std::uint32_t block, std::span<const unsigned char> bytes) override;
    void putStaticsBlock(std::uint32_t block, std::span<const unsigned char> records) override;

    // The builder's edits since the last call, as one stroke of their own (BuilderWins, a
    // new id); no cells when nothing changed.
    Stroke takeStroke();
    bool hasEdits() const { return !m_edits.empty() || !m_itemEdits.empty(); }
    // The document was replaced or lost its map: this copy no longer describes it.
    bool detached() const { return m_detached; }

private:
    void cellsChanged(const CellChange& change) override;
    void documentReplaced() override { m_detached = true; }
    void note(std::int32_t x, std::int32_t y);
    void noteItems(const CellRect& cells);

    MapDocument& m_document;
    MapImage m_map;
    StaticsMap m_statics;
    std::vector<CellEdit> m_edits;     // not yet taken
    std::vector<ItemEdit> m_itemEdits; // not yet taken
    bool m_detached = false;
    ListenerConnection m_connection;
};

} // namespace tb

#pragma once
// Place item: a click puts the item browser's item on the cell, on top of what stands there or
// at the items panel's fixed z; a drag places nothing more (one click, one item). The item is
// shown where it would stand while the pointer moves.

#include "core/TileData.h"
#include "editor/EditorState.h"
#include "editor/MapTool.h"

#include <functional>
#include <optional>

namespace tb {

class MapDocument;

class PlaceItemTool : public MapTool {
public:
    // `document` gives the document edits may reach now (null: none); `tiledata` the heights
    // and flags of the game's items (null: none read); `state` must outlive the tool.
    PlaceItemTool(std::function<MapDocument*()> document, std::function<const TileData*()> tiledata,
                  const EditorState& state);

    void press(const ToolEvent& event) override;
    void select(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void leave() override;
    bool key(ToolKey key) override;

    ToolCursor cursor() const override;
    std::string statusText() const override;
    ToolOverlay overlay() const override;

private:
    // The item as it would be placed on `cell`; none where nothing can be placed.
    std::optional<PlacedItem> placement(CellPoint cell) const;

    std::function<MapDocument*()> m_document;
    std::function<const TileData*()> m_tiledata;
    const EditorState& m_state;
    std::optional<CellPoint> m_pointer;
    bool m_placedThisPress = false;
    bool m_keyMoved = false;
};

} // namespace tb

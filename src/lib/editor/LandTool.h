#pragma once
// The land tools behind the tool bar's Paint, Fill, stamp and Brush buttons: one tool, since
// the editor state says which button is down and the painter keeps the state they share (the
// pending fill, the key navigation flag). Each selection event is one operation of the
// document; its failures are told through the tool's reports.

#include "editor/EditorState.h"
#include "editor/MapPainter.h"
#include "editor/MapTool.h"

#include <functional>
#include <optional>

namespace tb {

class MapDocument;

class LandTool : public MapTool {
public:
    // `document` gives the document edits may reach now (null: no map loaded, or a job that
    // changes the document runs); `state` and `painter` must outlive the tool.
    LandTool(std::function<MapDocument*()> document, const EditorState& state, MapPainter& painter);

    void select(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void leave() override;
    bool key(ToolKey key) override;

    ToolCursor cursor() const override { return ToolCursor::Cross; }
    std::string statusText() const override;
    ToolOverlay overlay() const override;

private:
    std::function<MapDocument*()> m_document;
    const EditorState& m_state;
    MapPainter& m_painter;
    std::optional<CellPoint> m_pointer;
};

} // namespace tb

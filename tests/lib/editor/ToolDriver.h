#pragma once
// Drives a map tool as a view does, without a view: a click is a press, the selection event
// of the press and a release; a drag adds the selection events of the cells it enters. The
// document's stroke spans the press, as the views make it.

#include "editor/MapDocument.h"
#include "editor/MapTool.h"

#include <optional>
#include <string>
#include <vector>

namespace edtest {

class ToolDriver {
public:
    ToolDriver(tb::MapTool& tool, tb::MapDocument& document) : m_tool(tool), m_document(document) {
        tb::ToolReports reports;
        reports.message = [this](const std::string& text) { messages.push_back(text); };
        reports.error = [this](const std::string& text) { errors.push_back(text); };
        reports.notice = [this](const std::string& text) { notices.push_back(text); };
        reports.zRefused = [this] { ++zRefusals; };
        m_tool.setReports(reports);
        m_tool.activate();
    }

    void hover(int x, int y) { m_tool.move(event(x, y, tb::ToolButton::None)); }
    void click(int x, int y, std::optional<tb::PointedItem> item = std::nullopt) {
        drag({{x, y}}, item);
    }
    // Pressed on the first cell, dragged through the others, released on the last.
    void drag(const std::vector<tb::CellPoint>& cells,
              std::optional<tb::PointedItem> item = std::nullopt) {
        tb::ToolEvent pressed = event(cells.front().x, cells.front().y, tb::ToolButton::Left);
        pressed.item = item;
        m_document.beginStroke();
        m_tool.press(pressed);
        for (const tb::CellPoint& cell : cells) {
            m_tool.move(event(cell.x, cell.y, tb::ToolButton::Left));
            m_tool.select(event(cell.x, cell.y, tb::ToolButton::Left));
        }
        m_tool.release(event(cells.back().x, cells.back().y, tb::ToolButton::Left));
        m_document.endStroke();
    }
    bool key(tb::ToolKey key) { return m_tool.key(key); }

    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::vector<std::string> notices;
    int zRefusals = 0;

private:
    static tb::ToolEvent event(int x, int y, tb::ToolButton button) {
        tb::ToolEvent e;
        e.cell = {x, y};
        e.button = button;
        return e;
    }

    tb::MapTool& m_tool;
    tb::MapDocument& m_document;
};

} // namespace edtest

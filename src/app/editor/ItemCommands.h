#pragma once
// The commands of the item selection besides its keys: "Set hue..." (the key H on the map, the
// Edit menu, and the menu a right click in the selection opens), and in that menu Copy, Paste
// and Delete. They are enabled only while the Select tool is down with something selected.

#include <QObject>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace tb {
class SelectItemsTool;
}

namespace tbapp {
class MainMenus;
class MapView;
class Prompts;

class ItemCommands : public QObject {
    Q_OBJECT
public:
    // Everything given must outlive the object; `window` is the parent of its dialogs.
    ItemCommands(tb::SelectItemsTool& tool, MapView& view, MainMenus& menus, Prompts& prompts,
                 QWidget* window);

    // The Select tool is down (or not), and whether edits may reach the document now.
    void setActive(bool active, bool editable);
    // The selection may have changed: the entries follow it.
    void refresh();
    // Asks for a hue and gives it to the selected items.
    void setHue();
    // The menu of the selection at `globalPos`.
    void showMenu(const QPoint& globalPos);

    QAction* setHueAction() const { return m_setHue; }

private:
    tb::SelectItemsTool& m_tool;
    MapView& m_view;
    Prompts& m_prompts;
    QWidget* m_window;
    QAction* m_setHue = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_delete = nullptr;
    bool m_active = false;
    bool m_editable = false;
};

} // namespace tbapp

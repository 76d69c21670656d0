#include "app/editor/ItemCommands.h"

#include "app/editor/MainMenus.h"
#include "app/editor/MapView.h"
#include "app/items/HueDialog.h"
#include "app/shell/Prompts.h"

#include "editor/ItemOperations.h"
#include "editor/MapDocument.h"
#include "editor/SelectItemsTool.h"

#include <QAction>
#include <QMenu>

namespace tbapp {

ItemCommands::ItemCommands(tb::SelectItemsTool& tool, MapView& view, MainMenus& menus,
                           Prompts& prompts, QWidget* window)
    : QObject(window), m_tool(tool), m_view(view), m_prompts(prompts), m_window(window) {
    m_setHue = new QAction("Set hue...", window);
    m_setHue->setObjectName("SetItemHue");
    // H, a plain letter like the tool keys, while the map has the focus.
    m_setHue->setShortcut(QKeySequence(Qt::Key_H));
    m_setHue->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_setHue->setToolTip("Set the hue of the selected items (key H)");
    m_setHue->setStatusTip("Set the hue of the items the Select tool has selected");
    view.addAction(m_setHue);
    menus.addEditEntry(m_setHue);
    connect(m_setHue, &QAction::triggered, this, &ItemCommands::setHue);

    m_copy = new QAction("Copy items", this);
    m_copy->setObjectName("CopyItems");
    m_copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(m_copy, &QAction::triggered, this, [this] { m_tool.copySelection(); });
    m_paste = new QAction("Paste items", this);
    m_paste->setObjectName("PasteItems");
    m_paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(m_paste, &QAction::triggered, this, [this] { m_tool.paste(); });
    m_delete = new QAction("Delete items", this);
    m_delete->setObjectName("DeleteItems");
    m_delete->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(m_delete, &QAction::triggered, this, [this] { m_tool.deleteSelection(); });
    refresh();
}

void ItemCommands::setActive(bool active, bool editable) {
    m_active = active;
    m_editable = editable;
    refresh();
}

void ItemCommands::refresh() {
    const bool selected = m_active && !m_tool.selection().isEmpty();
    m_setHue->setEnabled(selected && m_editable);
    m_copy->setEnabled(selected);
    m_delete->setEnabled(selected && m_editable);
    m_paste->setEnabled(m_active && m_editable && !m_tool.copied().empty());
}

void ItemCommands::setHue() {
    refresh();
    if (!m_setHue->isEnabled())
        return;
    // The first selected item shown in the hue typed.
    HueDialog::Preview preview;
    const tb::MapDocument* document = m_tool.document();
    if (document && document->statics()) {
        const std::vector<tb::SelectedItem> items =
            tb::selectedItems(*document->statics(), m_tool.selection());
        if (!items.empty())
            preview = [this, id = items.front().record.id](std::uint16_t hue) {
                return m_view.itemPicture(id, 88, hue);
            };
    }
    HueDialog dialog(0, preview, m_window);
    if (m_prompts.execDialog(dialog) != QDialog::Accepted || !dialog.hue())
        return;
    m_tool.hueSelection(*dialog.hue());
}

void ItemCommands::showMenu(const QPoint& globalPos) {
    refresh();
    QMenu menu(m_window);
    menu.setObjectName("ItemSelectionMenu");
    menu.addAction(m_setHue);
    menu.addSeparator();
    menu.addAction(m_copy);
    menu.addAction(m_paste);
    menu.addAction(m_delete);
    menu.exec(globalPos);
}

} // namespace tbapp

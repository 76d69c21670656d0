#pragma once
// The items panel: the items on the selected cell (id, name, z, hue), edited in place, with
// Add (the browser's item, standing on what the cell holds) and Delete (the chosen rows).
// Each edit is one operation of the document, so one undo step; the rows follow the
// selected cell and every change of the document's items. It also holds Place item's
// fixed z.
#include "editor/MapDocument.h"

#include <QDockWidget>

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

namespace tbapp {

class ItemBrowserDock;

class ItemsPanelDock : public QDockWidget, private tb::DocumentListener {
    Q_OBJECT
public:
    enum Column { IdColumn, NameColumn, ZColumn, HueColumn, ColumnCount };

    // `document` and `browser` must outlive the panel.
    ItemsPanelDock(tb::MapDocument& document, ItemBrowserDock& browser, QWidget* parent = nullptr);
    ~ItemsPanelDock() override;

    // Lists the items of cell (x, y).
    void showCell(int x, int y);
    // Place item's z when the fixed z box is ticked.
    std::optional<int> fixedZ() const;
    // Draws an item in its hue for the ID column (none: no pictures).
    using ItemPictures = std::function<QImage(std::uint16_t id, std::uint16_t hue)>;
    void setPictures(ItemPictures pictures);

signals:
    void fixedZChanged(std::optional<int> z);
    // An edit was refused; the text says why.
    void failed(const QString& message);

private:
    void cellsChanged(const tb::CellChange& change) override;
    void documentReplaced() override;
    void refresh();
    void cellEdited(QTableWidgetItem* item);
    void addItem();
    void deleteRows();
    bool editable() const;
    void showProblem(const QString& problem);

    tb::MapDocument& m_document;
    tb::ListenerConnection m_connection;
    ItemBrowserDock& m_browser;
    int m_x = 0;
    int m_y = 0;
    QLabel* m_cellLabel = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_problemLabel = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QCheckBox* m_fixedZCheck = nullptr;
    QSpinBox* m_fixedZSpin = nullptr;
    bool m_filling = false;
    ItemPictures m_pictures;
};

} // namespace tbapp

#include "app/items/ItemsPanelDock.h"

#include "app/items/ItemBrowserDock.h"

#include "core/StaticItems.h"
#include "core/TileData.h"
#include "editor/ItemOperations.h"
#include "shell/NumberText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <set>

namespace tbapp {
namespace {

QString hexId(std::uint16_t id) {
    return "$" + QString::number(id, 16).toUpper().rightJustified(4, '0');
}

} // namespace

ItemsPanelDock::ItemsPanelDock(tb::MapDocument& document, ItemBrowserDock& browser, QWidget* parent)
    : QDockWidget("Items on cell", parent), m_document(document), m_browser(browser) {
    setObjectName("ItemsPanel");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    m_cellLabel = new QLabel(body);
    m_cellLabel->setObjectName("ItemsCellLabel");
    m_cellLabel->setAccessibleName("Cell");
    layout->addWidget(m_cellLabel);

    m_table = new QTableWidget(0, ColumnCount, body);
    m_table->setObjectName("ItemsTable");
    m_table->setAccessibleName("Items on the cell");
    m_table->setHorizontalHeaderLabels({"ID", "Name", "Z", "Hue"});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);
    connect(m_table, &QTableWidget::itemChanged, this, &ItemsPanelDock::cellEdited);
    // What was wrong with the last value typed into the table, until the next edit.
    m_problemLabel = new QLabel(body);
    m_problemLabel->setObjectName("ItemsProblem");
    m_problemLabel->setAccessibleName("Problem with the value typed");
    m_problemLabel->setStyleSheet("color: #b00000");
    m_problemLabel->setWordWrap(true);
    m_problemLabel->hide();
    layout->addWidget(m_problemLabel);

    auto* buttons = new QHBoxLayout;
    m_addButton = new QPushButton("Add", body);
    m_addButton->setObjectName("ItemsAddButton");
    m_addButton->setAccessibleName("Add the browser's item");
    m_addButton->setToolTip("Puts the item chosen in the item browser on the cell");
    m_deleteButton = new QPushButton("Delete", body);
    m_deleteButton->setObjectName("ItemsDeleteButton");
    m_deleteButton->setAccessibleName("Delete the chosen items");
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_deleteButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(m_addButton, &QPushButton::clicked, this, &ItemsPanelDock::addItem);
    connect(m_deleteButton, &QPushButton::clicked, this, &ItemsPanelDock::deleteRows);

    auto* fixed = new QHBoxLayout;
    m_fixedZCheck = new QCheckBox("Place item at fixed Z", body);
    m_fixedZCheck->setObjectName("ItemsFixedZCheck");
    m_fixedZCheck->setAccessibleName("Place item at fixed Z");
    m_fixedZSpin = new QSpinBox(body);
    m_fixedZSpin->setObjectName("ItemsFixedZSpin");
    m_fixedZSpin->setAccessibleName("Fixed Z");
    m_fixedZSpin->setRange(-128, 127);
    fixed->addWidget(m_fixedZCheck);
    fixed->addWidget(m_fixedZSpin);
    fixed->addStretch(1);
    layout->addLayout(fixed);
    auto announce = [this] { emit fixedZChanged(fixedZ()); };
    connect(m_fixedZCheck, &QCheckBox::toggled, this, announce);
    connect(m_fixedZSpin, &QSpinBox::valueChanged, this, announce);

    setWidget(body);
    connect(&m_browser, &ItemBrowserDock::tileDataChanged, this, &ItemsPanelDock::refresh);
    m_connection = m_document.connect(this);
    refresh();
}

ItemsPanelDock::~ItemsPanelDock() = default;

void ItemsPanelDock::setPictures(ItemPictures pictures) {
    m_pictures = std::move(pictures);
    refresh();
}

std::optional<int> ItemsPanelDock::fixedZ() const {
    return m_fixedZCheck->isChecked() ? std::optional<int>(m_fixedZSpin->value()) : std::nullopt;
}

void ItemsPanelDock::showCell(int x, int y) {
    if (x == m_x && y == m_y && m_table->rowCount() > 0)
        return;
    m_x = x;
    m_y = y;
    refresh();
}

void ItemsPanelDock::cellsChanged(const tb::CellChange& change) {
    if (change.itemBounds.contains(m_x, m_y))
        refresh();
}

void ItemsPanelDock::documentReplaced() {
    refresh();
}

bool ItemsPanelDock::editable() const {
    return m_document.statics() && m_document.image().contains(m_x, m_y);
}

// The rows are rewritten in place when their number stays, so an edit of a row that the
// document's notification reports back does not delete the item being edited.
void ItemsPanelDock::refresh() {
    m_filling = true;
    m_cellLabel->setText(QString("Cell %1, %2").arg(m_x).arg(m_y));
    std::vector<tb::CellItem> items;
    if (editable())
        items = tb::itemsOnCell(*m_document.statics(), m_x, m_y);
    m_table->setRowCount(int(items.size()));
    const tb::TileData& tiles = m_browser.tileData();
    auto put = [this](int row, int column, const QString& text, bool editable) {
        QTableWidgetItem* cell = m_table->item(row, column);
        if (!cell) {
            cell = new QTableWidgetItem;
            if (!editable)
                cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
            m_table->setItem(row, column, cell);
        }
        cell->setText(text);
    };
    for (int row = 0; row < int(items.size()); ++row) {
        const tb::StaticRecord& r = items[std::size_t(row)].record;
        put(row, IdColumn, hexId(r.id), true);
        // The item as the map draws it, in its hue.
        if (m_pictures)
            m_table->item(row, IdColumn)
                ->setIcon(QIcon(QPixmap::fromImage(m_pictures(r.id, r.hue))));
        put(row, NameColumn, QString::fromStdString(tiles.item(r.id).name), false);
        put(row, ZColumn, QString::number(r.z), true);
        put(row, HueColumn, QString::number(r.hue), true);
    }
    m_addButton->setEnabled(editable());
    m_deleteButton->setEnabled(editable());
    m_filling = false;
}

void ItemsPanelDock::showProblem(const QString& problem) {
    m_problemLabel->setText(problem);
    m_problemLabel->setVisible(!problem.isEmpty());
}

// A typed value that does not fit puts the row back as it was and says why under the table.
void ItemsPanelDock::cellEdited(QTableWidgetItem* cell) {
    if (m_filling || !editable())
        return;
    const int row = cell->row();
    const std::vector<tb::CellItem> items = tb::itemsOnCell(*m_document.statics(), m_x, m_y);
    if (row < 0 || row >= int(items.size()))
        return;
    const tb::StaticRecord& r = items[std::size_t(row)].record;
    tb::PlacedItem to{m_x, m_y, r.id, r.z, r.hue};
    const QString typed = cell->text().trimmed();
    const std::optional<std::int32_t> value = tb::tryStrToInt(typed.toStdString());
    const int column = cell->column();
    const char* what = column == IdColumn ? "ID" : column == ZColumn ? "Z" : "Hue";
    const int low = column == ZColumn ? -128 : 0;
    const int high = column == ZColumn ? 127 : 0xFFFF;
    if (!value || *value < low || *value > high) {
        showProblem(
            !value
                ? QString("%1 '%2' is not a number: type decimal, $hex or 0x hex.").arg(what, typed)
                : QString("%1 %2 is out of range: it must be %3 to %4.")
                      .arg(what, typed)
                      .arg(low)
                      .arg(high));
        refresh();
        return;
    }
    showProblem({});
    if (column == IdColumn)
        to.id = std::uint16_t(*value);
    else if (column == ZColumn)
        to.z = std::int8_t(*value);
    else if (column == HueColumn)
        to.hue = std::uint16_t(*value);
    if (to == tb::PlacedItem{m_x, m_y, r.id, r.z, r.hue}) {
        refresh();
        return;
    }
    try {
        tb::MapDocument::Edit edit(m_document, "Change item");
        edit.changeItem(m_x, m_y, std::size_t(row), to);
    } catch (const std::exception& e) {
        emit failed(QString::fromStdString(e.what()));
        refresh();
    }
}

void ItemsPanelDock::addItem() {
    const std::optional<std::uint16_t> id = m_browser.currentItem();
    if (!id || !editable())
        return;
    const std::int8_t z =
        tb::standingZ(m_document.image(), *m_document.statics(), m_browser.tileData(), m_x, m_y);
    try {
        tb::MapDocument::Edit edit(m_document);
        tb::placeItem(edit, *id, m_x, m_y, z);
    } catch (const std::exception& e) {
        emit failed(QString::fromStdString(e.what()));
    }
}

void ItemsPanelDock::deleteRows() {
    if (!editable())
        return;
    std::set<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty())
        return;
    try {
        tb::MapDocument::Edit edit(m_document, "Delete " + tb::itemCountText(rows.size()));
        // From the last row up, so the indexes still to go stay valid.
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            edit.removeItem(m_x, m_y, std::size_t(*row));
    } catch (const std::exception& e) {
        emit failed(QString::fromStdString(e.what()));
    }
}

} // namespace tbapp

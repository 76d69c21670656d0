#include "app/patch/CoordinateListDialog.h"

#include "app/patch/PatchWidgets.h"
#include "app/shell/MapEditorLink.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"
#include "catalogue/TextureList.h"
#include "patch/CoordList.h"
#include "shell/Errors.h"

#include <QDir>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tbapp {

namespace {

const QString kCoordFilter = QStringLiteral("Tolvane Coordinates (*.def)");

} // namespace

CoordinateListDialog::CoordinateListDialog(const QString& appDir, MapEditorLink& link,
                                           const QString& jumpX, const QString& jumpY,
                                           tbapp::Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_appDir(appDir), m_link(link), m_prompts(prompts), m_jumpX(jumpX),
      m_jumpY(jumpY) {
    setObjectName("TListForm");
    setWindowTitle("Coordinates Index");
    setModal(true);

    m_importButton = makeButton("Import", "TLLoad", this);
    m_exportButton = makeButton("Export", "TLSave", this);

    m_coordTable = new QTableWidget(0, 2, this);
    m_coordTable->setObjectName("Seznam");
    m_coordTable->setHorizontalHeaderLabels({"X", "Y"});
    m_coordTable->verticalHeader()->hide();
    m_coordTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_coordTable->setShowGrid(true);
    m_coordTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_coordTable->setSelectionMode(QAbstractItemView::SingleSelection);
    // In-place editing of a row's X text: F2 or a click on the selected row. A double click
    // is OK, not an edit.
    m_coordTable->setEditTriggers(QAbstractItemView::SelectedClicked |
                                  QAbstractItemView::EditKeyPressed);
    m_coordTable->setFixedSize(145, 273);

    m_xEdit = new QLineEdit("0", this);
    m_xEdit->setObjectName("PridatX");
    m_yEdit = new QLineEdit("0", this);
    m_yEdit->setObjectName("PridatY");
    m_addButton = makeButton("Add", "TLAdd", this);
    m_removeButton = makeButton("Remove", "TLRemove", this);
    m_okButton = makeButton("&OK", "TlOK", this);
    m_okButton->setDefault(true);
    m_cancelButton = makeButton("Cancel", "TlCancel", this);

    auto* top = new QHBoxLayout;
    top->addWidget(m_importButton);
    top->addWidget(m_exportButton);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(boldLabel("X:", this));
    boxes->addWidget(m_xEdit);
    boxes->addWidget(boldLabel("Y:", this));
    boxes->addWidget(m_yEdit);
    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(m_addButton);
    editButtons->addWidget(m_removeButton);
    auto* leave = new QHBoxLayout;
    leave->addWidget(m_okButton);
    leave->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_coordTable);
    layout->addLayout(boxes);
    layout->addLayout(editButtons);
    layout->addLayout(leave);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_importButton, &QPushButton::clicked, this, &CoordinateListDialog::importList);
    connect(m_exportButton, &QPushButton::clicked, this, &CoordinateListDialog::exportList);
    connect(m_addButton, &QPushButton::clicked, this, &CoordinateListDialog::addTypedRow);
    connect(m_removeButton, &QPushButton::clicked, this, &CoordinateListDialog::removeSelectedRow);
    connect(m_okButton, &QPushButton::clicked, this, &CoordinateListDialog::acceptSelectedRow);
    connect(m_cancelButton, &QPushButton::clicked, this, &CoordinateListDialog::saveAndCancel);
    connect(m_coordTable, &QTableWidget::cellDoubleClicked, this,
            &CoordinateListDialog::acceptSelectedRow);

    // Opening state.
    copyJumpTexts();
    loadCoordsFile();
}

// coords.def beside the program, found without regard to case like the other files there.
QString CoordinateListDialog::coordsPath() const {
    const std::filesystem::path found = tb::resolveAppPath(
        std::filesystem::path(m_appDir.toStdU16String()), tb::kCoordListFileName);
    return QString::fromStdU16String(found.u16string());
}

void CoordinateListDialog::copyJumpTexts() {
    m_xEdit->setText(m_jumpX);
    m_yEdit->setText(m_jumpY);
}

void CoordinateListDialog::loadCoordsFile() {
    try {
        const std::vector<tb::CoordText> loaded = tb::readCoordFile(tbapp::uiPath(coordsPath()));
        if (!loaded.empty())
            setRows(loaded);
    } catch (const tb::FileError&) {
        // An unreadable list opens empty, like a missing one.
    }
}

bool CoordinateListDialog::saveCoordsFile() {
    try {
        tb::writeCoordFile(tbapp::uiPath(coordsPath()), rows());
        return true;
    } catch (const tb::FileError& e) {
        m_prompts.showError(this, toQString(e.what()));
        return false;
    }
}

std::vector<tb::CoordText> CoordinateListDialog::rows() const {
    std::vector<tb::CoordText> result;
    for (int row = 0; row < m_coordTable->rowCount(); ++row)
        result.push_back({m_coordTable->item(row, 0)->text().toStdString(),
                          m_coordTable->item(row, 1)->text().toStdString()});
    return result;
}

void CoordinateListDialog::setRows(const std::vector<tb::CoordText>& rows) {
    m_coordTable->setRowCount(0);
    for (const tb::CoordText& row : rows)
        appendRow(toQString(row.x), toQString(row.y));
}

void CoordinateListDialog::appendRow(const QString& x, const QString& y) {
    const int row = m_coordTable->rowCount();
    m_coordTable->insertRow(row);
    m_coordTable->setItem(row, 0, new QTableWidgetItem(x));
    auto* yItem = new QTableWidgetItem(y);
    yItem->setFlags(yItem->flags() & ~Qt::ItemIsEditable); // only the X text is edited in place
    m_coordTable->setItem(row, 1, yItem);
}

void CoordinateListDialog::addTypedRow() {
    appendRow(m_xEdit->text(), m_yEdit->text());
}

void CoordinateListDialog::removeSelectedRow() {
    const QModelIndexList selected = m_coordTable->selectionModel()->selectedRows();
    if (selected.size() == 1)
        m_coordTable->removeRow(selected.front().row());
}

void CoordinateListDialog::acceptSelectedRow() {
    const QModelIndexList selected = m_coordTable->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        m_prompts.showMessage(this, "You must select any Coordinates!");
        return;
    }
    const int row = selected.front().row();
    m_link.setJumpTexts(m_coordTable->item(row, 0)->text(), m_coordTable->item(row, 1)->text());
    if (saveCoordsFile())
        done(QDialog::Accepted);
}

void CoordinateListDialog::saveAndCancel() {
    if (saveCoordsFile())
        done(QDialog::Rejected);
}

void CoordinateListDialog::reject() {
    done(QDialog::Rejected);
}

void CoordinateListDialog::keyPressEvent(QKeyEvent* event) {
    // Escape answers OK here, as the OK button is also the window's cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        acceptSelectedRow();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CoordinateListDialog::importList() {
    const QString fileName = m_prompts.openFileName(
        this,
        {.title = "Import coordinates definition", .filter = kCoordFilter, .directory = m_openDir});
    if (fileName.isEmpty())
        return;
    m_openDir = m_appDir;
    std::vector<tb::CoordText> loaded;
    try {
        loaded = tb::readCoordFile(tbapp::uiPath(fileName));
    } catch (const tb::FileError& e) {
        m_prompts.showError(this, toQString(e.what()));
        return;
    }
    if (loaded.empty()) {
        m_prompts.showMessage(this, "Empty file!");
        return;
    }
    setRows(loaded);
}

void CoordinateListDialog::exportList() {
    const QString fileName = m_prompts.saveFileName(this, {.title = "Export coordinates definition",
                                                           .filter = kCoordFilter,
                                                           .defaultName = "coords.def"});
    if (fileName.isEmpty())
        return;
    try {
        tb::writeCoordFile(tbapp::uiPath(fileName), rows());
    } catch (const tb::FileError& e) {
        m_prompts.showError(this, toQString(e.what()));
    }
}

} // namespace tbapp

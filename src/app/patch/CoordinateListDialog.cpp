#include "patch/CoordinateListDialog.h"

#include "catalogue/TextureList.h"
#include "patch/CoordList.h"
#include "patch/PatchWidgets.h"
#include "shell/Errors.h"
#include "shell/MapEditorLink.h"
#include "shell/Prompts.h"
#include "shell/UiPath.h"

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

using patchwidgets::boldLabel;
using patchwidgets::makeButton;
using patchwidgets::qs;

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

    TLLoad = makeButton("Import", "TLLoad", this);
    TLSave = makeButton("Export", "TLSave", this);

    Seznam = new QTableWidget(0, 2, this);
    Seznam->setObjectName("Seznam");
    Seznam->setHorizontalHeaderLabels({"X", "Y"});
    Seznam->verticalHeader()->hide();
    Seznam->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Seznam->setShowGrid(true);
    Seznam->setSelectionBehavior(QAbstractItemView::SelectRows);
    Seznam->setSelectionMode(QAbstractItemView::SingleSelection);
    // In-place editing of a row's X text: F2 or a click on the selected row. A double click
    // is OK, not an edit.
    Seznam->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    Seznam->setFixedSize(145, 273);

    PridatX = new QLineEdit("0", this);
    PridatX->setObjectName("PridatX");
    PridatY = new QLineEdit("0", this);
    PridatY->setObjectName("PridatY");
    TLAdd = makeButton("Add", "TLAdd", this);
    TLRemove = makeButton("Remove", "TLRemove", this);
    TlOK = makeButton("&OK", "TlOK", this);
    TlOK->setDefault(true);
    TlCancel = makeButton("Cancel", "TlCancel", this);

    auto* top = new QHBoxLayout;
    top->addWidget(TLLoad);
    top->addWidget(TLSave);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(boldLabel("X:", this));
    boxes->addWidget(PridatX);
    boxes->addWidget(boldLabel("Y:", this));
    boxes->addWidget(PridatY);
    auto* editButtons = new QHBoxLayout;
    editButtons->addWidget(TLAdd);
    editButtons->addWidget(TLRemove);
    auto* leave = new QHBoxLayout;
    leave->addWidget(TlOK);
    leave->addWidget(TlCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(Seznam);
    layout->addLayout(boxes);
    layout->addLayout(editButtons);
    layout->addLayout(leave);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(TLLoad, &QPushButton::clicked, this, &CoordinateListDialog::TLLoadClick);
    connect(TLSave, &QPushButton::clicked, this, &CoordinateListDialog::TLSaveClick);
    connect(TLAdd, &QPushButton::clicked, this, &CoordinateListDialog::TLAddClick);
    connect(TLRemove, &QPushButton::clicked, this, &CoordinateListDialog::TLRemoveClick);
    connect(TlOK, &QPushButton::clicked, this, &CoordinateListDialog::TlOKClick);
    connect(TlCancel, &QPushButton::clicked, this, &CoordinateListDialog::TlCancelClick);
    connect(Seznam, &QTableWidget::cellDoubleClicked, this, &CoordinateListDialog::TlOKClick);

    // FormCreate
    TempCoords();
    TempLoad();
}

// coords.def beside the program, found without regard to case like the other files there.
QString CoordinateListDialog::coordsPath() const {
    const std::filesystem::path found = tb::resolveAppPath(
        std::filesystem::path(m_appDir.toStdU16String()), tb::kCoordListFileName);
    return QString::fromStdU16String(found.u16string());
}

void CoordinateListDialog::TempCoords() {
    PridatX->setText(m_jumpX);
    PridatY->setText(m_jumpY);
}

void CoordinateListDialog::TempLoad() {
    try {
        const std::vector<tb::CoordText> loaded = tb::readCoordFile(tbapp::uiPath(coordsPath()));
        if (!loaded.empty())
            setRows(loaded);
    } catch (const tb::FileError&) {
        // An unreadable list opens empty, like a missing one.
    }
}

bool CoordinateListDialog::TempSave() {
    try {
        tb::writeCoordFile(tbapp::uiPath(coordsPath()), rows());
        return true;
    } catch (const tb::FileError& e) {
        m_prompts.showError(this, qs(e.what()));
        return false;
    }
}

std::vector<tb::CoordText> CoordinateListDialog::rows() const {
    std::vector<tb::CoordText> result;
    for (int row = 0; row < Seznam->rowCount(); ++row)
        result.push_back({Seznam->item(row, 0)->text().toStdString(),
                          Seznam->item(row, 1)->text().toStdString()});
    return result;
}

void CoordinateListDialog::setRows(const std::vector<tb::CoordText>& rows) {
    Seznam->setRowCount(0);
    for (const tb::CoordText& row : rows)
        appendRow(qs(row.x), qs(row.y));
}

void CoordinateListDialog::appendRow(const QString& x, const QString& y) {
    const int row = Seznam->rowCount();
    Seznam->insertRow(row);
    Seznam->setItem(row, 0, new QTableWidgetItem(x));
    auto* yItem = new QTableWidgetItem(y);
    yItem->setFlags(yItem->flags() & ~Qt::ItemIsEditable); // only the X text is edited in place
    Seznam->setItem(row, 1, yItem);
}

void CoordinateListDialog::TLAddClick() {
    appendRow(PridatX->text(), PridatY->text());
}

void CoordinateListDialog::TLRemoveClick() {
    const QModelIndexList selected = Seznam->selectionModel()->selectedRows();
    if (selected.size() == 1)
        Seznam->removeRow(selected.front().row());
}

void CoordinateListDialog::TlOKClick() {
    const QModelIndexList selected = Seznam->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        m_prompts.showMessage(this, "You must select any Coordinates!");
        return;
    }
    const int row = selected.front().row();
    m_link.setJumpTexts(Seznam->item(row, 0)->text(), Seznam->item(row, 1)->text());
    if (TempSave())
        done(QDialog::Accepted);
}

void CoordinateListDialog::TlCancelClick() {
    if (TempSave())
        done(QDialog::Rejected);
}

void CoordinateListDialog::reject() {
    done(QDialog::Rejected);
}

void CoordinateListDialog::keyPressEvent(QKeyEvent* event) {
    // Escape answers OK here, as the OK button is also the window's cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        TlOKClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CoordinateListDialog::TLLoadClick() {
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
        m_prompts.showError(this, qs(e.what()));
        return;
    }
    if (loaded.empty()) {
        m_prompts.showMessage(this, "Empty file!");
        return;
    }
    setRows(loaded);
}

void CoordinateListDialog::TLSaveClick() {
    const QString fileName = m_prompts.saveFileName(this, {.title = "Export coordinates definition",
                                                           .filter = kCoordFilter,
                                                           .defaultName = "coords.def"});
    if (fileName.isEmpty())
        return;
    try {
        tb::writeCoordFile(tbapp::uiPath(fileName), rows());
    } catch (const tb::FileError& e) {
        m_prompts.showError(this, qs(e.what()));
    }
}

} // namespace tbapp

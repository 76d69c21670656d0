#include "patch/PatchEditorWindow.h"

#include "catalogue/BHTools.h"
#include "core/MapImage.h"
#include "patch/KeyFile.h"
#include "patch/PatchFile.h"
#include "patch/PatchWidgets.h"
#include "shell/Errors.h"
#include "shell/MapEditorLink.h"
#include "shell/Prompts.h"
#include "shell/UiPath.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tbapp {

using patchwidgets::boldLabel;
using patchwidgets::makeButton;
using patchwidgets::qs;

namespace {

const QString kPatchFilter = QStringLiteral("QVBrimholt Patch (*.qvp)");

QLineEdit* makeEdit(const QString& text, const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

} // namespace

PatchEditorWindow::PatchEditorWindow(const QString& appDir, MapEditorLink& link,
                                     tbapp::Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_appDir(appDir),
      m_link(link), m_prompts(prompts) {
    setObjectName("TPatchEditForm");
    setWindowTitle("Patch Editor");

    TLLoad = makeButton("Load", "TLLoad", this);
    TLSave = makeButton("Save", "TLSave", this);

    Seznam = new QTableWidget(0, 4, this);
    Seznam->setObjectName("Seznam");
    Seznam->setHorizontalHeaderLabels({"X", "Y", "Z", "Tile ID"});
    Seznam->verticalHeader()->hide();
    Seznam->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Seznam->setShowGrid(true);
    Seznam->setSelectionBehavior(QAbstractItemView::SelectRows);
    Seznam->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Seznam->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Seznam->setFixedSize(281, 273);

    PridatX = makeEdit("0", "PridatX", this);
    PridatY = makeEdit("0", "PridatY", this);
    PridatZ = makeEdit("0", "PridatZ", this);
    PridatID = makeEdit("00 00", "PridatID", this);
    TLAdd = makeButton("Add", "TLAdd", this);
    TlEdit = makeButton("Edit", "TlEdit", this);
    TLRemove = makeButton("Remove", "TLRemove", this);
    TlClear = makeButton("Clear", "TlClear", this);
    TlClose = makeButton("Close", "TlClose", this);

    auto* top = new QHBoxLayout;
    top->addWidget(TLLoad);
    top->addStretch();
    top->addWidget(TLSave);

    auto* boxes = new QGridLayout;
    boxes->addWidget(boldLabel("X:", this), 0, 0);
    boxes->addWidget(PridatX, 0, 1);
    boxes->addWidget(boldLabel("Y:", this), 0, 2);
    boxes->addWidget(PridatY, 0, 3);
    boxes->addWidget(boldLabel("Z:", this), 1, 0);
    boxes->addWidget(PridatZ, 1, 1);
    boxes->addWidget(boldLabel("ID:", this), 1, 2);
    boxes->addWidget(PridatID, 1, 3);
    boxes->addWidget(TLAdd, 0, 4);
    boxes->addWidget(TlEdit, 1, 4);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(TLRemove);
    bottom->addWidget(TlClear);
    bottom->addStretch();
    bottom->addWidget(TlClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(Seznam);
    layout->addLayout(boxes);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(TLLoad, &QPushButton::clicked, this, &PatchEditorWindow::TLLoadClick);
    connect(TLSave, &QPushButton::clicked, this, &PatchEditorWindow::TLSaveClick);
    connect(TLAdd, &QPushButton::clicked, this, &PatchEditorWindow::TLAddClick);
    connect(TlEdit, &QPushButton::clicked, this, &PatchEditorWindow::TlEditClick);
    connect(TLRemove, &QPushButton::clicked, this, &PatchEditorWindow::TLRemoveClick);
    connect(TlClear, &QPushButton::clicked, this, &PatchEditorWindow::TlClearClick);
    connect(TlClose, &QPushButton::clicked, this, &PatchEditorWindow::TlCloseClick);
    connect(Seznam, &QTableWidget::cellClicked, this, &PatchEditorWindow::SeznamClick);
    connect(Seznam, &QTableWidget::cellDoubleClicked, this, &PatchEditorWindow::SeznamDblClick);
}

void PatchEditorWindow::appendRow(const QString& x, const QString& y, const QString& z,
                                  const QString& id) {
    const int row = Seznam->rowCount();
    Seznam->insertRow(row);
    const QString texts[] = {x, y, z, id};
    for (int column = 0; column < 4; ++column)
        Seznam->setItem(row, column, new QTableWidgetItem(texts[column]));
}

std::vector<int> PatchEditorWindow::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : Seznam->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool PatchEditorWindow::isListed(const QString& x, const QString& y) const {
    for (int row = 0; row < Seznam->rowCount(); ++row)
        if (Seznam->item(row, 0)->text() == x && Seznam->item(row, 1)->text() == y)
            return true;
    return false;
}

std::vector<tb::PatchEntryText> PatchEditorWindow::entries() const {
    std::vector<tb::PatchEntryText> result;
    for (int row = 0; row < Seznam->rowCount(); ++row)
        result.push_back({Seznam->item(row, 0)->text().toStdString(),
                          Seznam->item(row, 1)->text().toStdString(),
                          Seznam->item(row, 2)->text().toStdString(),
                          Seznam->item(row, 3)->text().toStdString()});
    return result;
}

bool PatchEditorWindow::insertCurrentCell() {
    const tb::MapImage* map = m_link.loadedMap();
    if (!isVisible() || map == nullptr)
        return false;
    const int x = m_link.currentX();
    const int y = m_link.currentY();
    if (!map->contains(x, y))
        return false; // the main window clamps the pointer; a cell outside has no values
    const QString xText = QString::number(x);
    const QString yText = QString::number(y);
    if (isListed(xText, yText)) {
        m_prompts.showMessage(this, "This coords are on list!");
        return false;
    }
    const tb::MapCell cell = map->cell(x, y);
    appendRow(xText, yText, QString::number(int(cell.altitude)),
              qs(tb::intToSpacedHex(cell.tileId, 2)));
    return true;
}

void PatchEditorWindow::TLLoadClick() {
    const QString fileName = m_prompts.openFileName(
        this, {.title = "Load Patch file", .filter = kPatchFilter, .directory = m_openDir});
    if (fileName.isEmpty())
        return;
    m_openDir = m_appDir;
    std::vector<tb::PatchEntryText> loaded;
    try {
        loaded = tb::readPatchFile(tbapp::uiPath(fileName));
    } catch (const tb::FileError& e) {
        m_prompts.showError(this, QString::fromStdString(e.what()));
        return;
    }
    if (loaded.empty()) {
        m_prompts.showMessage(this, "Empty or corupted file!");
        return;
    }
    Seznam->setRowCount(0);
    const int count = int(loaded.size());
    const auto progress = m_prompts.startProgress(count);
    const QString last = QString::number(count - 1);
    for (int i = 0; i < count; ++i) {
        const tb::PatchEntryText& e = loaded[std::size_t(i)];
        appendRow(qs(e.x), qs(e.y), qs(e.z), qs(e.id));
        progress->showItem(i, "Loading ... " + QString::number(i) + "/" + last);
    }
}

void PatchEditorWindow::TLSaveClick() {
    const QString fileName = m_prompts.saveFileName(
        this,
        {.title = "Save Patch file", .filter = kPatchFilter, .defaultName = "qvbrimholt.qvp"});
    if (fileName.isEmpty())
        return;
    const std::vector<tb::PatchEntryText> rows = entries();
    QString failure;
    {
        const auto progress = m_prompts.startProgress(int(rows.size()));
        try {
            tb::writePatchFile(tbapp::uiPath(fileName), rows, [&](int i, const std::string& text) {
                progress->showItem(i, qs(text));
            });
        } catch (const tb::FileError& e) {
            failure = QString::fromStdString(e.what());
        }
    } // the progress window closes before any error is shown
    if (!failure.isEmpty())
        m_prompts.showError(this, failure);
}

void PatchEditorWindow::TLAddClick() {
    if (isListed(PridatX->text(), PridatY->text())) {
        m_prompts.showMessage(this, "This coors are on list!");
        return;
    }
    appendRow(PridatX->text(), PridatY->text(), PridatZ->text(), PridatID->text());
}

void PatchEditorWindow::TlEditClick() {
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    const QString texts[] = {PridatX->text(), PridatY->text(), PridatZ->text(), PridatID->text()};
    for (int column = 0; column < 4; ++column)
        Seznam->item(rows.front(), column)->setText(texts[column]);
}

void PatchEditorWindow::SeznamClick() {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    QLineEdit* boxes[] = {PridatX, PridatY, PridatZ, PridatID};
    for (int column = 0; column < 4; ++column)
        boxes[column]->setText(Seznam->item(rows.front(), column)->text());
}

void PatchEditorWindow::SeznamDblClick() {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    m_link.setJumpTexts(Seznam->item(rows.front(), 0)->text(),
                        Seznam->item(rows.front(), 1)->text());
    try {
        m_link.jumpToBoxes();
    } catch (const std::exception& e) {
        // A row whose texts are no numbers fails the jump like typed ones do.
        m_prompts.showError(this, QString::fromStdString(e.what()));
    }
}

void PatchEditorWindow::TLRemoveClick() {
    const std::vector<int> rows = selectedRows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        Seznam->removeRow(*it);
}

void PatchEditorWindow::TlClearClick() {
    Seznam->setRowCount(0);
}

void PatchEditorWindow::TlCloseClick() {
    hide();
}

} // namespace tbapp

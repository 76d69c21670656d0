#include "app/patch/PatchEditorWindow.h"

#include "app/patch/PatchWidgets.h"
#include "app/shell/MapEditorLink.h"
#include "app/shell/Prompts.h"
#include "app/shell/UiPath.h"
#include "core/MapImage.h"
#include "editor/Navigation.h"
#include "patch/PatchFile.h"
#include "shell/Errors.h"
#include "shell/Progress.h"

#include <QFileInfo>
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
#include <array>

namespace tbapp {

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

    m_loadButton = makeButton("Load", "TLLoad", this);
    m_saveButton = makeButton("Save", "TLSave", this);

    m_entryTable = new QTableWidget(0, 4, this);
    m_entryTable->setObjectName("Seznam");
    m_entryTable->setHorizontalHeaderLabels({"X", "Y", "Z", "Tile ID"});
    m_entryTable->verticalHeader()->hide();
    m_entryTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_entryTable->setShowGrid(true);
    m_entryTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entryTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_entryTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_entryTable->setFixedSize(281, 273);

    m_xEdit = makeEdit("0", "PridatX", this);
    m_yEdit = makeEdit("0", "PridatY", this);
    m_zEdit = makeEdit("0", "PridatZ", this);
    m_idEdit = makeEdit("00 00", "PridatID", this);
    m_addButton = makeButton("Add", "TLAdd", this);
    m_editButton = makeButton("Edit", "TlEdit", this);
    m_removeButton = makeButton("Remove", "TLRemove", this);
    m_clearButton = makeButton("Clear", "TlClear", this);
    m_closeButton = makeButton("Close", "TlClose", this);

    auto* top = new QHBoxLayout;
    top->addWidget(m_loadButton);
    top->addStretch();
    top->addWidget(m_saveButton);

    auto* boxes = new QGridLayout;
    boxes->addWidget(boldLabel("X:", this), 0, 0);
    boxes->addWidget(m_xEdit, 0, 1);
    boxes->addWidget(boldLabel("Y:", this), 0, 2);
    boxes->addWidget(m_yEdit, 0, 3);
    boxes->addWidget(boldLabel("Z:", this), 1, 0);
    boxes->addWidget(m_zEdit, 1, 1);
    boxes->addWidget(boldLabel("ID:", this), 1, 2);
    boxes->addWidget(m_idEdit, 1, 3);
    boxes->addWidget(m_addButton, 0, 4);
    boxes->addWidget(m_editButton, 1, 4);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_removeButton);
    bottom->addWidget(m_clearButton);
    bottom->addStretch();
    bottom->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_entryTable);
    layout->addLayout(boxes);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_loadButton, &QPushButton::clicked, this, &PatchEditorWindow::loadPatchFile);
    connect(m_saveButton, &QPushButton::clicked, this, &PatchEditorWindow::savePatchFile);
    connect(m_addButton, &QPushButton::clicked, this, &PatchEditorWindow::addTypedEntry);
    connect(m_editButton, &QPushButton::clicked, this, &PatchEditorWindow::replaceSelectedEntry);
    connect(m_removeButton, &QPushButton::clicked, this, &PatchEditorWindow::removeSelectedEntries);
    connect(m_clearButton, &QPushButton::clicked, this, [this] { m_entryTable->setRowCount(0); });
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_entryTable, &QTableWidget::cellClicked, this, &PatchEditorWindow::showClickedEntry);
    connect(m_entryTable, &QTableWidget::cellDoubleClicked, this,
            &PatchEditorWindow::jumpToClickedEntry);
}

void PatchEditorWindow::appendRow(const QString& x, const QString& y, const QString& z,
                                  const QString& id) {
    const int row = m_entryTable->rowCount();
    m_entryTable->insertRow(row);
    const QString texts[] = {x, y, z, id};
    for (int column = 0; column < 4; ++column)
        m_entryTable->setItem(row, column, new QTableWidgetItem(texts[column]));
}

std::vector<int> PatchEditorWindow::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_entryTable->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<std::pair<std::string, std::string>> PatchEditorWindow::listedCoords() const {
    std::vector<std::pair<std::string, std::string>> coords;
    for (int row = 0; row < m_entryTable->rowCount(); ++row)
        coords.emplace_back(m_entryTable->item(row, 0)->text().toStdString(),
                            m_entryTable->item(row, 1)->text().toStdString());
    return coords;
}

std::vector<tb::PatchEntryText> PatchEditorWindow::entries() const {
    std::vector<tb::PatchEntryText> result;
    for (int row = 0; row < m_entryTable->rowCount(); ++row)
        result.push_back({m_entryTable->item(row, 0)->text().toStdString(),
                          m_entryTable->item(row, 1)->text().toStdString(),
                          m_entryTable->item(row, 2)->text().toStdString(),
                          m_entryTable->item(row, 3)->text().toStdString()});
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
    if (tb::coordsOnList(listedCoords(), x, y)) {
        m_prompts.showMessage(this, QString::fromUtf8(tb::kCoordsOnListMessage.data(),
                                                      qsizetype(tb::kCoordsOnListMessage.size())));
        return false;
    }
    const std::array<std::string, 4> texts = tb::insertedCellTexts(x, y, map->cell(x, y));
    appendRow(toQString(texts[0]), toQString(texts[1]), toQString(texts[2]), toQString(texts[3]));
    return true;
}

void PatchEditorWindow::loadPatchFile() {
    if (m_jobs.busy()) {
        m_prompts.showMessage(this, JobRunner::refusal(m_jobs.caption()));
        return;
    }
    const QString fileName = m_prompts.openFileName(
        this, {.title = "Load Patch file", .filter = kPatchFilter, .directory = m_openDir});
    if (fileName.isEmpty())
        return;
    m_openDir = m_appDir;
    auto file = std::make_shared<tb::KeyFile>();
    Job read;
    read.caption = "Loading " + QFileInfo(fileName).fileName();
    read.work = [file, path = tbapp::uiPath(fileName)](tb::Progress& progress) {
        *file = tb::KeyFile::load(path);
        tb::stopIfRequested(progress, tb::kPatchLoadStoppedMessage);
    };
    read.succeeded = [this, file] { loadEntries(file); };
    read.reportStopOrFailure(m_prompts, this);
    m_jobs.start(std::move(read));
}

// The rows are replaced when every entry is read; a stopped load keeps them.
void PatchEditorWindow::loadEntries(std::shared_ptr<const tb::KeyFile> file) {
    const int count = file->entryCount();
    if (count == 0) {
        m_prompts.showMessage(this, "Empty or corupted file!");
        return;
    }
    auto loaded = std::make_shared<std::vector<tb::PatchEntryText>>();
    Job job;
    job.caption = "Loading the patch file";
    job.window = m_prompts.startProgress(count);
    job.work = [file, loaded](tb::Progress& progress) {
        *loaded = tb::readPatchEntries(*file, progress);
    };
    job.succeeded = [this, loaded] {
        m_entryTable->setRowCount(0);
        for (const tb::PatchEntryText& e : *loaded)
            appendRow(toQString(e.x), toQString(e.y), toQString(e.z), toQString(e.id));
    };
    job.reportStopOrFailure(m_prompts, this);
    m_jobs.start(std::move(job));
}

// The rows as they are when Save is pressed; the progress window closes before any error
// is shown.
void PatchEditorWindow::savePatchFile() {
    if (m_jobs.busy()) {
        m_prompts.showMessage(this, JobRunner::refusal(m_jobs.caption()));
        return;
    }
    const QString fileName = m_prompts.saveFileName(
        this,
        {.title = "Save Patch file", .filter = kPatchFilter, .defaultName = "qvbrimholt.qvp"});
    if (fileName.isEmpty())
        return;
    Job job;
    job.caption = "Saving " + QFileInfo(fileName).fileName();
    job.window = m_prompts.startProgress(m_entryTable->rowCount());
    job.work = [rows = entries(), path = tbapp::uiPath(fileName)](tb::Progress& progress) {
        tb::writePatchFile(path, rows, progress);
    };
    job.reportStopOrFailure(m_prompts, this);
    m_jobs.start(std::move(job));
}

void PatchEditorWindow::addTypedEntry() {
    if (tb::coordsOnList(listedCoords(), m_xEdit->text().toStdString(),
                         m_yEdit->text().toStdString())) {
        m_prompts.showMessage(this, "This coors are on list!");
        return;
    }
    appendRow(m_xEdit->text(), m_yEdit->text(), m_zEdit->text(), m_idEdit->text());
}

void PatchEditorWindow::replaceSelectedEntry() {
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    const QString texts[] = {m_xEdit->text(), m_yEdit->text(), m_zEdit->text(), m_idEdit->text()};
    for (int column = 0; column < 4; ++column)
        m_entryTable->item(rows.front(), column)->setText(texts[column]);
}

void PatchEditorWindow::showClickedEntry() {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    QLineEdit* boxes[] = {m_xEdit, m_yEdit, m_zEdit, m_idEdit};
    for (int column = 0; column < 4; ++column)
        boxes[column]->setText(m_entryTable->item(rows.front(), column)->text());
}

void PatchEditorWindow::jumpToClickedEntry() {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1)
        return;
    m_link.setJumpTexts(m_entryTable->item(rows.front(), 0)->text(),
                        m_entryTable->item(rows.front(), 1)->text());
    try {
        m_link.jumpToBoxes();
    } catch (const std::exception& e) {
        // A row whose texts are no numbers fails the jump like typed ones do.
        m_prompts.showError(this, QString::fromStdString(e.what()));
    }
}

void PatchEditorWindow::removeSelectedEntries() {
    const std::vector<int> rows = selectedRows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        m_entryTable->removeRow(*it);
}

} // namespace tbapp

#include "catalogue/OptionsDialog.h"

#include "catalogue/TileCells.h"
#include "catalogue/TileGroupDialog.h"
#include "catalogue/TilePickerDialog.h"

#include "catalogue/CatalogueNames.h"
#include "catalogue/TextureList.h"
#include "catalogue/TextureListWriter.h"
#include "catalogue/TileList.h"
#include "shell/NumberText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tbapp {

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QToolButton* arrowButton(QWidget* parent, const char* name, Qt::ArrowType arrow) {
    auto* button = named(new QToolButton(parent), name);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setEnabled(false);
    return button;
}

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

OptionsDialog::OptionsDialog(CatalogueContext context, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)) {
    setObjectName("TBHFOptions");
    setWindowTitle("Options");

    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->setDocumentMode(true);
    TabSheet1 = buildGroupPage();
    TabSheet3 = buildTexturePage();
    PageControl1->addTab(TabSheet1, "&Select Modes");
    PageControl1->addTab(TabSheet3, "Te&xture Lists");
    PageControl1->setCurrentWidget(TabSheet1);

    BitBtn2 = named(new QPushButton("&OK", this), "BitBtn2");
    BitBtn2->setDefault(true);
    BitBtn3 = named(new QPushButton("&Cancel", this), "BitBtn3");
    BitBtn3->setAutoDefault(false);
    auto* bottom = new QWidget(this);
    bottom->setObjectName("Panel1");
    bottom->setFixedHeight(41);
    auto* buttons = new QHBoxLayout(bottom);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(bottom);
    setFixedSize(473, 407);

    connect(BitBtn2, &QPushButton::clicked, this, &OptionsDialog::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);

    // Opening: the groups of tilelist.xml, the items of tileids.lst, the names of the lists.
    for (const tb::TileListRow& row :
         tb::groupRowsFromTileList(tb::readTileList(tb::tileListPath(m_context.appDir()))))
        addGroupRow(fromUtf8(row.caption), fromUtf8(row.idText));
    LoadListItems(QString::fromUtf8(tb::kDefaultTextureList.data(),
                                    qsizetype(tb::kDefaultTextureList.size())));
    {
        const QSignalBlocker blocker(cbTextureLists);
        for (const std::string& name : tb::textureListNames(m_context.appDir()))
            cbTextureLists->addItem(fromUtf8(name));
        cbTextureLists->setCurrentIndex(-1);
        cbTextureLists->setEditText(QString::fromLatin1(tb::kDefaultTextureList.data(),
                                                        qsizetype(tb::kDefaultTextureList.size())));
    }
    updateGroupButtons();
    updateTextureButtons();
}

QWidget* OptionsDialog::buildGroupPage() {
    auto* page = named(new QWidget, "TabSheet1");
    lvSelectModes = named(new QTreeWidget(page), "lvSelectModes");
    lvSelectModes->setColumnCount(2);
    lvSelectModes->setHeaderLabels({"Caption", "Items"});
    lvSelectModes->setColumnWidth(0, 200);
    lvSelectModes->setColumnWidth(1, 149);
    lvSelectModes->setRootIsDecorated(false);
    lvSelectModes->setSelectionMode(QAbstractItemView::SingleSelection);
    btnAdd = named(new QPushButton("Add", page), "btnAdd");
    btnEdit = named(new QPushButton("Edit", page), "btnEdit");
    btnEdit->setEnabled(false);
    btnDelete = named(new QPushButton("Delete", page), "btnDelete");
    btnDelete->setEnabled(false);
    btnUp = arrowButton(page, "btnUp", Qt::UpArrow);
    btnDown = arrowButton(page, "btnDown", Qt::DownArrow);
    for (QPushButton* button : {btnAdd, btnEdit, btnDelete})
        button->setAutoDefault(false);

    auto* side = new QVBoxLayout;
    side->addWidget(btnAdd);
    side->addWidget(btnEdit);
    side->addWidget(btnDelete);
    side->addStretch(1);
    side->addWidget(btnUp, 0, Qt::AlignHCenter);
    side->addWidget(btnDown, 0, Qt::AlignHCenter);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(lvSelectModes, 1);
    layout->addLayout(side);

    connect(lvSelectModes, &QTreeWidget::itemSelectionChanged, this,
            &OptionsDialog::updateGroupButtons);
    connect(btnAdd, &QPushButton::clicked, this, &OptionsDialog::btnAddClick);
    connect(btnEdit, &QPushButton::clicked, this, &OptionsDialog::btnEditClick);
    connect(btnDelete, &QPushButton::clicked, this, &OptionsDialog::btnDeleteClick);
    connect(btnUp, &QToolButton::clicked, this, &OptionsDialog::btnUpClick);
    connect(btnDown, &QToolButton::clicked, this, &OptionsDialog::btnDownClick);
    return page;
}

QWidget* OptionsDialog::buildTexturePage() {
    auto* page = named(new QWidget, "TabSheet3");
    lbTexture = named(new QListWidget(page), "lbTexture");
    lbTexture->setSelectionMode(QAbstractItemView::SingleSelection);
    btnAddTexture = named(new QPushButton("Add", page), "btnAddTexture");
    btnEditTexture = named(new QPushButton("Edit", page), "btnEditTexture");
    btnEditTexture->setEnabled(false);
    btnDeleteTexture = named(new QPushButton("Delete", page), "btnDeleteTexture");
    btnDeleteTexture->setEnabled(false);
    for (QPushButton* button : {btnAddTexture, btnEditTexture, btnDeleteTexture})
        button->setAutoDefault(false);
    btnTextureUp = arrowButton(page, "btnTextureUp", Qt::UpArrow);
    btnTextureDown = arrowButton(page, "btnTextureDown", Qt::DownArrow);
    Image1 = named(new QLabel(page), "Image1");
    Image1->setFixedSize(64, 64);
    Image1->setScaledContents(true);
    Label1 = named(new QLabel("Texture Lists", page), "Label1");
    cbTextureLists = named(new QComboBox(page), "cbTextureLists");
    cbTextureLists->setEditable(true);
    cbTextureLists->setInsertPolicy(QComboBox::NoInsert);
    btnAddList = named(new QToolButton(page), "btnAddList");
    btnAddList->setText("Add");
    btnAddList->setAutoRaise(true);

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(cbTextureLists, 1);
    listRow->addWidget(btnAddList);
    auto* side = new QVBoxLayout;
    side->addWidget(btnAddTexture);
    side->addWidget(btnEditTexture);
    side->addWidget(btnDeleteTexture);
    side->addWidget(btnTextureUp, 0, Qt::AlignHCenter);
    side->addWidget(btnTextureDown, 0, Qt::AlignHCenter);
    side->addWidget(Image1, 0, Qt::AlignHCenter);
    side->addStretch(1);
    side->addWidget(Label1);
    side->addLayout(listRow);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(lbTexture, 1);
    layout->addLayout(side);

    connect(lbTexture, &QListWidget::currentRowChanged, this, &OptionsDialog::updateTextureButtons);
    connect(lbTexture, &QListWidget::itemClicked, this, &OptionsDialog::lbTextureClick);
    connect(btnAddTexture, &QPushButton::clicked, this, &OptionsDialog::btnAddTextureClick);
    connect(btnEditTexture, &QPushButton::clicked, this, &OptionsDialog::btnEditTextureClick);
    connect(btnDeleteTexture, &QPushButton::clicked, this, &OptionsDialog::btnDeleteTextureClick);
    connect(btnTextureUp, &QToolButton::clicked, this, &OptionsDialog::btnTextureUpClick);
    connect(btnTextureDown, &QToolButton::clicked, this, &OptionsDialog::btnTextureDownClick);
    connect(cbTextureLists, &QComboBox::editTextChanged, this,
            &OptionsDialog::cbTextureListsChange);
    connect(btnAddList, &QToolButton::clicked, this, &OptionsDialog::btnAddListClick);
    return page;
}

tb::OptionsResult OptionsDialog::optionsResult() const {
    tb::OptionsResult result;
    for (int i = 0; i < lvSelectModes->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lvSelectModes->topLevelItem(i);
        result.groupRows.push_back({item->text(0).toStdString(), item->text(1).toStdString()});
    }
    for (int i = 0; i < lbTexture->count(); ++i)
        result.textureItems.push_back(lbTexture->item(i)->text().toStdString());
    result.textureListName = cbTextureLists->currentText().toStdString();
    return result;
}

// --- Group page

void OptionsDialog::addGroupRow(const QString& caption, const QString& idText) {
    lvSelectModes->addTopLevelItem(new QTreeWidgetItem(QStringList{caption, idText}));
}

void OptionsDialog::updateGroupButtons() {
    const QList<QTreeWidgetItem*> selected = lvSelectModes->selectedItems();
    const int row = selected.isEmpty() ? -1 : lvSelectModes->indexOfTopLevelItem(selected.front());
    const tb::ListButtonState state = tb::listButtonState(row, lvSelectModes->topLevelItemCount());
    btnEdit->setEnabled(state.edit);
    btnDelete->setEnabled(state.remove);
    btnUp->setEnabled(state.up);
    btnDown->setEnabled(state.down);
}

void OptionsDialog::btnAddClick() {
    TileGroupDialog dialog(m_context, this);
    dialog.setWindowTitle("Add new Tiles");
    dialog.lblHelpText->setText(
        "Seperate Tile IDs with Comma! Insert Tile ID as Hex (Sample: $011a)");
    if (m_context.ask().execDialog(dialog) != QDialog::Accepted)
        return;
    addGroupRow(dialog.edCaption->text(), dialog.edTileList->toPlainText());
    updateGroupButtons();
}

void OptionsDialog::btnEditClick() {
    const QList<QTreeWidgetItem*> selected = lvSelectModes->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.front();
    TileGroupDialog dialog(m_context, this);
    dialog.setWindowTitle("Edit Group " + item->text(0));
    dialog.edCaption->setText(item->text(0));
    dialog.edTileList->setPlainText(item->text(1));
    if (m_context.ask().execDialog(dialog) != QDialog::Accepted)
        return;
    item->setText(0, dialog.edCaption->text());
    item->setText(1, dialog.edTileList->toPlainText());
}

void OptionsDialog::btnDeleteClick() {
    const QList<QTreeWidgetItem*> selected = lvSelectModes->selectedItems();
    if (selected.isEmpty())
        return;
    if (!m_context.ask().confirm(this, "Delete selected selection group?"))
        return;
    delete selected.front();
    lvSelectModes->clearSelection();
    updateGroupButtons();
}

void OptionsDialog::moveGroupRow(int delta) {
    const QList<QTreeWidgetItem*> selected = lvSelectModes->selectedItems();
    if (selected.isEmpty())
        return;
    const int from = lvSelectModes->indexOfTopLevelItem(selected.front());
    const int to = from + delta;
    if (to < 0 || to >= lvSelectModes->topLevelItemCount())
        return;
    QTreeWidgetItem* item = lvSelectModes->takeTopLevelItem(from);
    lvSelectModes->insertTopLevelItem(to, item);
    lvSelectModes->setCurrentItem(item);
    item->setSelected(true);
    lvSelectModes->setFocus();
    updateGroupButtons();
}

void OptionsDialog::btnUpClick() {
    moveGroupRow(-1);
}
void OptionsDialog::btnDownClick() {
    moveGroupRow(1);
}

// --- Texture page

void OptionsDialog::LoadListItems(const QString& name) {
    std::vector<std::string> items;
    // The items read before a bad line stay; the failure is shown.
    runCatalogueStep(m_context, this,
                     [&] { tb::loadListItems(m_context.appDir(), name.toStdString(), items); });
    for (const std::string& item : items)
        lbTexture->addItem(fromUtf8(item));
    updateTextureButtons();
}

void OptionsDialog::updateTextureButtons() {
    const tb::ListButtonState state =
        tb::listButtonState(lbTexture->currentRow(), lbTexture->count());
    btnEditTexture->setEnabled(state.edit);
    btnDeleteTexture->setEnabled(state.remove);
    btnTextureUp->setEnabled(state.up);
    btnTextureDown->setEnabled(state.down);
}

void OptionsDialog::showPreview(int row) {
    Image1->clear();
    if (row < 0 || row >= lbTexture->count())
        return;
    runCatalogueStep(m_context, this, [&] {
        const std::int32_t id = tb::strToInt(lbTexture->item(row)->text().toStdString());
        const QImage image = m_context.image(id);
        if (!image.isNull())
            Image1->setPixmap(QPixmap::fromImage(image));
    });
}

void OptionsDialog::lbTextureClick() {
    showPreview(lbTexture->currentRow());
    updateTextureButtons();
}

void OptionsDialog::btnAddTextureClick() {
    TilePickerDialog picker(m_context, this);
    picker.setWindowTitle("Insert");
    picker.setLabelText("Insert a new Item");
    picker.edAddTile->setText("$");
    if (m_context.ask().execDialog(picker) != QDialog::Accepted)
        return;
    const int row = lbTexture->currentRow();
    if (row >= 0)
        lbTexture->insertItem(row, picker.edAddTile->text());
    else
        lbTexture->addItem(picker.edAddTile->text());
    updateTextureButtons();
}

void OptionsDialog::btnEditTextureClick() {
    const int row = lbTexture->currentRow();
    if (row < 0)
        return;
    TilePickerDialog picker(m_context, this);
    picker.setWindowTitle("Edit");
    picker.setLabelText("Edit Item " + lbTexture->item(row)->text());
    picker.edAddTile->setText("$");
    if (m_context.ask().execDialog(picker) != QDialog::Accepted)
        return;
    lbTexture->item(row)->setText(picker.edAddTile->text());
    updateTextureButtons();
}

void OptionsDialog::btnDeleteTextureClick() {
    const int row = lbTexture->currentRow();
    if (row < 0)
        return;
    if (!m_context.ask().confirm(this, "Delete selected Item?"))
        return;
    delete lbTexture->takeItem(row);
    lbTexture->setCurrentRow(-1);
    Image1->clear();
    updateTextureButtons();
}

void OptionsDialog::moveTextureItem(int delta) {
    const int from = lbTexture->currentRow();
    const int to = from + delta;
    if (from < 0 || to < 0 || to >= lbTexture->count())
        return;
    QListWidgetItem* item = lbTexture->takeItem(from);
    lbTexture->insertItem(to, item);
    lbTexture->setCurrentRow(to);
    lbTexture->setFocus();
    updateTextureButtons();
}

void OptionsDialog::btnTextureUpClick() {
    moveTextureItem(-1);
}
void OptionsDialog::btnTextureDownClick() {
    moveTextureItem(1);
}

void OptionsDialog::cbTextureListsChange() {
    lbTexture->clear();
    Image1->clear();
    LoadListItems(cbTextureLists->currentText());
}

void OptionsDialog::btnAddListClick() {
    const auto answer = m_context.ask().inputText(this, "Add List", "Add new Item list", ".lst");
    if (!answer)
        return;
    // A name that would be written outside the textures folder is refused at once.
    if (!runCatalogueStep(m_context, this, [&] {
            tb::checkCatalogueName("texture list", answer->toStdString(), tb::kTexturesFolder);
        }))
        return;
    lbTexture->clear();
    Image1->clear();
    {
        // The new list has no file yet: naming it must not try to load it.
        const QSignalBlocker blocker(cbTextureLists);
        cbTextureLists->addItem(*answer);
        cbTextureLists->setCurrentIndex(cbTextureLists->count() - 1);
        cbTextureLists->setEditText(*answer);
    }
    updateTextureButtons();
}

void OptionsDialog::BitBtn2Click() {
    // A list name that cannot be written keeps the dialog open, so no edit is lost.
    if (!runCatalogueStep(m_context, this, [&] {
            tb::checkCatalogueName("texture list", cbTextureLists->currentText().toStdString(),
                                   tb::kTexturesFolder);
        }))
        return;
    accept();
}

void OptionsDialog::keyPressEvent(QKeyEvent* event) {
    // Escape presses OK.
    if (event->key() == Qt::Key_Escape) {
        BitBtn2->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool runOptionsSave(const CatalogueContext& context, QWidget* parent,
                    const tb::OptionsResult& result, const tb::OptionsSaveSteps& steps) {
    return runCatalogueStep(context, parent,
                            [&] { tb::runOptionsSaveSequence(context.appDir(), result, steps); });
}

bool runOptionsCommand(const CatalogueContext& context, QWidget* parent,
                       const tb::OptionsSaveSteps& steps) {
    OptionsDialog options(context, parent);
    // A save that failed would lose the edits with the dialog: the user may open it
    // again, as it was left, and press OK once the files can be written.
    while (context.ask().execDialog(options) == QDialog::Accepted) {
        if (runOptionsSave(context, parent, options.optionsResult(), steps))
            return true;
        if (!context.ask().confirm(parent, kOptionsNotSavedQuestion))
            return false;
    }
    return false;
}

} // namespace tbapp

#include "app/catalogue/OptionsDialog.h"

#include "app/catalogue/TileCells.h"
#include "app/catalogue/TileGroupDialog.h"
#include "app/catalogue/TilePickerDialog.h"
#include "app/shell/ObjectNamed.h"

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

    m_pages = named(new QTabWidget(this), "PageControl1");
    m_pages->setDocumentMode(true);
    m_groupPage = buildGroupPage();
    m_texturePage = buildTexturePage();
    m_pages->addTab(m_groupPage, "&Select Modes");
    m_pages->addTab(m_texturePage, "Te&xture Lists");
    m_pages->setCurrentWidget(m_groupPage);

    m_okButton = named(new QPushButton("&OK", this), "BitBtn2");
    m_okButton->setDefault(true);
    m_cancelButton = named(new QPushButton("&Cancel", this), "BitBtn3");
    m_cancelButton->setAutoDefault(false);
    auto* bottom = new QWidget(this);
    bottom->setObjectName("Panel1");
    bottom->setFixedHeight(41);
    auto* buttons = new QHBoxLayout(bottom);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages, 1);
    layout->addWidget(bottom);
    setFixedSize(473, 407);

    connect(m_okButton, &QPushButton::clicked, this, &OptionsDialog::acceptIfListNameSafe);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Opening: the groups of tilelist.xml, the items of tileids.lst, the names of the lists.
    for (const tb::TileListRow& row :
         tb::groupRowsFromTileList(tb::readTileList(tb::tileListPath(m_context.appDir()))))
        addGroupRow(fromUtf8(row.caption), fromUtf8(row.idText));
    loadListItems(QString::fromUtf8(tb::kDefaultTextureList.data(),
                                    qsizetype(tb::kDefaultTextureList.size())));
    {
        const QSignalBlocker blocker(m_textureListBox);
        for (const std::string& name : tb::textureListNames(m_context.appDir()))
            m_textureListBox->addItem(fromUtf8(name));
        m_textureListBox->setCurrentIndex(-1);
        m_textureListBox->setEditText(QString::fromLatin1(
            tb::kDefaultTextureList.data(), qsizetype(tb::kDefaultTextureList.size())));
    }
    updateGroupButtons();
    updateTextureButtons();
}

QWidget* OptionsDialog::buildGroupPage() {
    auto* page = named(new QWidget, "TabSheet1");
    m_groupList = named(new QTreeWidget(page), "lvSelectModes");
    m_groupList->setColumnCount(2);
    m_groupList->setHeaderLabels({"Caption", "Items"});
    m_groupList->setColumnWidth(0, 200);
    m_groupList->setColumnWidth(1, 149);
    m_groupList->setRootIsDecorated(false);
    m_groupList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_addGroupButton = named(new QPushButton("Add", page), "btnAdd");
    m_editGroupButton = named(new QPushButton("Edit", page), "btnEdit");
    m_editGroupButton->setEnabled(false);
    m_deleteGroupButton = named(new QPushButton("Delete", page), "btnDelete");
    m_deleteGroupButton->setEnabled(false);
    m_groupUpButton = arrowButton(page, "btnUp", Qt::UpArrow);
    m_groupDownButton = arrowButton(page, "btnDown", Qt::DownArrow);
    for (QPushButton* button : {m_addGroupButton, m_editGroupButton, m_deleteGroupButton})
        button->setAutoDefault(false);

    auto* side = new QVBoxLayout;
    side->addWidget(m_addGroupButton);
    side->addWidget(m_editGroupButton);
    side->addWidget(m_deleteGroupButton);
    side->addStretch(1);
    side->addWidget(m_groupUpButton, 0, Qt::AlignHCenter);
    side->addWidget(m_groupDownButton, 0, Qt::AlignHCenter);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(m_groupList, 1);
    layout->addLayout(side);

    connect(m_groupList, &QTreeWidget::itemSelectionChanged, this,
            &OptionsDialog::updateGroupButtons);
    connect(m_addGroupButton, &QPushButton::clicked, this, &OptionsDialog::addGroup);
    connect(m_editGroupButton, &QPushButton::clicked, this, &OptionsDialog::editGroup);
    connect(m_deleteGroupButton, &QPushButton::clicked, this, &OptionsDialog::deleteGroup);
    connect(m_groupUpButton, &QToolButton::clicked, this, [this] { moveGroupRow(-1); });
    connect(m_groupDownButton, &QToolButton::clicked, this, [this] { moveGroupRow(1); });
    return page;
}

QWidget* OptionsDialog::buildTexturePage() {
    auto* page = named(new QWidget, "TabSheet3");
    m_textureList = named(new QListWidget(page), "lbTexture");
    m_textureList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_addTextureButton = named(new QPushButton("Add", page), "btnAddTexture");
    m_editTextureButton = named(new QPushButton("Edit", page), "btnEditTexture");
    m_editTextureButton->setEnabled(false);
    m_deleteTextureButton = named(new QPushButton("Delete", page), "btnDeleteTexture");
    m_deleteTextureButton->setEnabled(false);
    for (QPushButton* button : {m_addTextureButton, m_editTextureButton, m_deleteTextureButton})
        button->setAutoDefault(false);
    m_textureUpButton = arrowButton(page, "btnTextureUp", Qt::UpArrow);
    m_textureDownButton = arrowButton(page, "btnTextureDown", Qt::DownArrow);
    m_previewLabel = named(new QLabel(page), "Image1");
    m_previewLabel->setFixedSize(64, 64);
    m_previewLabel->setScaledContents(true);
    m_listNameLabel = named(new QLabel("Texture Lists", page), "Label1");
    m_textureListBox = named(new QComboBox(page), "cbTextureLists");
    m_textureListBox->setEditable(true);
    m_textureListBox->setInsertPolicy(QComboBox::NoInsert);
    m_addListButton = named(new QToolButton(page), "btnAddList");
    m_addListButton->setText("Add");
    m_addListButton->setAutoRaise(true);

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_textureListBox, 1);
    listRow->addWidget(m_addListButton);
    auto* side = new QVBoxLayout;
    side->addWidget(m_addTextureButton);
    side->addWidget(m_editTextureButton);
    side->addWidget(m_deleteTextureButton);
    side->addWidget(m_textureUpButton, 0, Qt::AlignHCenter);
    side->addWidget(m_textureDownButton, 0, Qt::AlignHCenter);
    side->addWidget(m_previewLabel, 0, Qt::AlignHCenter);
    side->addStretch(1);
    side->addWidget(m_listNameLabel);
    side->addLayout(listRow);
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(m_textureList, 1);
    layout->addLayout(side);

    connect(m_textureList, &QListWidget::currentRowChanged, this,
            &OptionsDialog::updateTextureButtons);
    connect(m_textureList, &QListWidget::itemClicked, this, &OptionsDialog::showClickedItem);
    connect(m_addTextureButton, &QPushButton::clicked, this, &OptionsDialog::addTextureItem);
    connect(m_editTextureButton, &QPushButton::clicked, this, &OptionsDialog::editTextureItem);
    connect(m_deleteTextureButton, &QPushButton::clicked, this, &OptionsDialog::deleteTextureItem);
    connect(m_textureUpButton, &QToolButton::clicked, this, [this] { moveTextureItem(-1); });
    connect(m_textureDownButton, &QToolButton::clicked, this, [this] { moveTextureItem(1); });
    connect(m_textureListBox, &QComboBox::editTextChanged, this, &OptionsDialog::loadNamedList);
    connect(m_addListButton, &QToolButton::clicked, this, &OptionsDialog::addList);
    return page;
}

tb::OptionsResult OptionsDialog::optionsResult() const {
    tb::OptionsResult result;
    for (int i = 0; i < m_groupList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_groupList->topLevelItem(i);
        result.groupRows.push_back({item->text(0).toStdString(), item->text(1).toStdString()});
    }
    for (int i = 0; i < m_textureList->count(); ++i)
        result.textureItems.push_back(m_textureList->item(i)->text().toStdString());
    result.textureListName = m_textureListBox->currentText().toStdString();
    return result;
}

// --- Group page

void OptionsDialog::addGroupRow(const QString& caption, const QString& idText) {
    m_groupList->addTopLevelItem(new QTreeWidgetItem(QStringList{caption, idText}));
}

void OptionsDialog::updateGroupButtons() {
    const QList<QTreeWidgetItem*> selected = m_groupList->selectedItems();
    const int row = selected.isEmpty() ? -1 : m_groupList->indexOfTopLevelItem(selected.front());
    const tb::ListButtonState state = tb::listButtonState(row, m_groupList->topLevelItemCount());
    m_editGroupButton->setEnabled(state.edit);
    m_deleteGroupButton->setEnabled(state.remove);
    m_groupUpButton->setEnabled(state.up);
    m_groupDownButton->setEnabled(state.down);
}

void OptionsDialog::addGroup() {
    TileGroupDialog dialog(m_context, this);
    dialog.setWindowTitle("Add new Tiles");
    dialog.setHint("Seperate Tile IDs with Comma! Insert Tile ID as Hex (Sample: $011a)");
    if (m_context.ask().execDialog(dialog) != QDialog::Accepted)
        return;
    addGroupRow(dialog.caption(), dialog.idText());
    updateGroupButtons();
}

void OptionsDialog::editGroup() {
    const QList<QTreeWidgetItem*> selected = m_groupList->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.front();
    TileGroupDialog dialog(m_context, this);
    dialog.setWindowTitle("Edit Group " + item->text(0));
    dialog.setCaption(item->text(0));
    dialog.setIdText(item->text(1));
    if (m_context.ask().execDialog(dialog) != QDialog::Accepted)
        return;
    item->setText(0, dialog.caption());
    item->setText(1, dialog.idText());
}

void OptionsDialog::deleteGroup() {
    const QList<QTreeWidgetItem*> selected = m_groupList->selectedItems();
    if (selected.isEmpty())
        return;
    if (!m_context.ask().confirm(this, "Delete selected selection group?"))
        return;
    delete selected.front();
    m_groupList->clearSelection();
    updateGroupButtons();
}

void OptionsDialog::moveGroupRow(int delta) {
    const QList<QTreeWidgetItem*> selected = m_groupList->selectedItems();
    if (selected.isEmpty())
        return;
    const int from = m_groupList->indexOfTopLevelItem(selected.front());
    const int to = from + delta;
    if (to < 0 || to >= m_groupList->topLevelItemCount())
        return;
    QTreeWidgetItem* item = m_groupList->takeTopLevelItem(from);
    m_groupList->insertTopLevelItem(to, item);
    m_groupList->setCurrentItem(item);
    item->setSelected(true);
    m_groupList->setFocus();
    updateGroupButtons();
}

// --- Texture page

void OptionsDialog::loadListItems(const QString& name) {
    std::vector<std::string> items;
    // The items read before a bad line stay; the failure is shown.
    runCatalogueStep(m_context, this,
                     [&] { tb::loadListItems(m_context.appDir(), name.toStdString(), items); });
    for (const std::string& item : items)
        m_textureList->addItem(fromUtf8(item));
    updateTextureButtons();
}

void OptionsDialog::updateTextureButtons() {
    const tb::ListButtonState state =
        tb::listButtonState(m_textureList->currentRow(), m_textureList->count());
    m_editTextureButton->setEnabled(state.edit);
    m_deleteTextureButton->setEnabled(state.remove);
    m_textureUpButton->setEnabled(state.up);
    m_textureDownButton->setEnabled(state.down);
}

void OptionsDialog::showPreview(int row) {
    m_previewLabel->clear();
    if (row < 0 || row >= m_textureList->count())
        return;
    runCatalogueStep(m_context, this, [&] {
        const std::int32_t id = tb::strToInt(m_textureList->item(row)->text().toStdString());
        const QImage image = m_context.image(id);
        if (!image.isNull())
            m_previewLabel->setPixmap(QPixmap::fromImage(image));
    });
}

void OptionsDialog::showClickedItem() {
    showPreview(m_textureList->currentRow());
    updateTextureButtons();
}

void OptionsDialog::addTextureItem() {
    TilePickerDialog picker(m_context, this);
    picker.setWindowTitle("Insert");
    picker.setLabelText("Insert a new Item");
    picker.setTileText("$");
    if (m_context.ask().execDialog(picker) != QDialog::Accepted)
        return;
    const int row = m_textureList->currentRow();
    if (row >= 0)
        m_textureList->insertItem(row, picker.tileText());
    else
        m_textureList->addItem(picker.tileText());
    updateTextureButtons();
}

void OptionsDialog::editTextureItem() {
    const int row = m_textureList->currentRow();
    if (row < 0)
        return;
    TilePickerDialog picker(m_context, this);
    picker.setWindowTitle("Edit");
    picker.setLabelText("Edit Item " + m_textureList->item(row)->text());
    picker.setTileText("$");
    if (m_context.ask().execDialog(picker) != QDialog::Accepted)
        return;
    m_textureList->item(row)->setText(picker.tileText());
    updateTextureButtons();
}

void OptionsDialog::deleteTextureItem() {
    const int row = m_textureList->currentRow();
    if (row < 0)
        return;
    if (!m_context.ask().confirm(this, "Delete selected Item?"))
        return;
    delete m_textureList->takeItem(row);
    m_textureList->setCurrentRow(-1);
    m_previewLabel->clear();
    updateTextureButtons();
}

void OptionsDialog::moveTextureItem(int delta) {
    const int from = m_textureList->currentRow();
    const int to = from + delta;
    if (from < 0 || to < 0 || to >= m_textureList->count())
        return;
    QListWidgetItem* item = m_textureList->takeItem(from);
    m_textureList->insertItem(to, item);
    m_textureList->setCurrentRow(to);
    m_textureList->setFocus();
    updateTextureButtons();
}

void OptionsDialog::loadNamedList() {
    m_textureList->clear();
    m_previewLabel->clear();
    loadListItems(m_textureListBox->currentText());
}

void OptionsDialog::addList() {
    const auto answer = m_context.ask().inputText(this, "Add List", "Add new Item list", ".lst");
    if (!answer)
        return;
    // A name that would be written outside the textures folder is refused at once.
    if (!runCatalogueStep(m_context, this, [&] {
            tb::checkCatalogueName("texture list", answer->toStdString(), tb::kTexturesFolder);
        }))
        return;
    m_textureList->clear();
    m_previewLabel->clear();
    {
        // The new list has no file yet: naming it must not try to load it.
        const QSignalBlocker blocker(m_textureListBox);
        m_textureListBox->addItem(*answer);
        m_textureListBox->setCurrentIndex(m_textureListBox->count() - 1);
        m_textureListBox->setEditText(*answer);
    }
    updateTextureButtons();
}

void OptionsDialog::acceptIfListNameSafe() {
    // A list name that cannot be written keeps the dialog open, so no edit is lost.
    if (!runCatalogueStep(m_context, this, [&] {
            tb::checkCatalogueName("texture list", m_textureListBox->currentText().toStdString(),
                                   tb::kTexturesFolder);
        }))
        return;
    accept();
}

void OptionsDialog::keyPressEvent(QKeyEvent* event) {
    // Escape presses OK.
    if (event->key() == Qt::Key_Escape) {
        m_okButton->click();
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

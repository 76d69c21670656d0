#pragma once
// OptionsDialog ("Options"): maintains the tile groups of tilelist.xml ("&Select Modes") and
// one texture list of the textures folder ("Te&xture Lists") on copies read when it is
// created; nothing is written while it is open.
//
// The main window's "&Options..." creates one per use and, after OK, runs the save
// sequence with its own steps; runOptionsCommand does both:
//     OptionsDialog options(context, this);
//     if (options.exec() == QDialog::Accepted)
//         runOptionsSave(context, this, options.optionsResult(), steps);
// Any other close writes nothing.

#include "app/catalogue/CatalogueContext.h"

#include "catalogue/OptionsModel.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace tbapp {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Reads tilelist.xml and textures/tileids.lst of the context's application folder.
    explicit OptionsDialog(CatalogueContext context, QWidget* parent = nullptr);

    // The group rows, the texture items and the texture list's name as they stand.
    tb::OptionsResult optionsResult() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildGroupPage();
    QWidget* buildTexturePage();
    void addGroupRow(const QString& caption, const QString& idText);
    void moveGroupRow(int delta);
    void moveTextureItem(int delta);
    void updateGroupButtons();
    void updateTextureButtons();
    void showPreview(int row);
    // Appends the items of list `name` of the textures folder to the item list.
    void loadListItems(const QString& name);

    // "Add", "Edit" and "Delete" of the group page: the tile-group dialog and the question.
    void addGroup();
    void editGroup();
    void deleteGroup();
    // "Add", "Edit" and "Delete" of the texture page: the tile picker and the question.
    void addTextureItem();
    void editTextureItem();
    void deleteTextureItem();
    void showClickedItem();
    // The list named in the list box replaces the items.
    void loadNamedList();
    // "Add" beside the list box: names a new, empty list.
    void addList();
    // OK closes only when the list name can be written.
    void acceptIfListNameSafe();

    QTabWidget* m_pages = nullptr;
    QWidget* m_groupPage = nullptr;
    QTreeWidget* m_groupList = nullptr;
    QPushButton* m_addGroupButton = nullptr;
    QPushButton* m_editGroupButton = nullptr;
    QPushButton* m_deleteGroupButton = nullptr;
    QToolButton* m_groupUpButton = nullptr;
    QToolButton* m_groupDownButton = nullptr;
    QWidget* m_texturePage = nullptr;
    QListWidget* m_textureList = nullptr;
    QPushButton* m_addTextureButton = nullptr;
    QPushButton* m_editTextureButton = nullptr;
    QPushButton* m_deleteTextureButton = nullptr;
    QToolButton* m_textureUpButton = nullptr;
    QToolButton* m_textureDownButton = nullptr;
    QLabel* m_previewLabel = nullptr;
    QLabel* m_listNameLabel = nullptr;
    QComboBox* m_textureListBox = nullptr;
    QToolButton* m_addListButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    CatalogueContext m_context;
};

// The save sequence after the options dialog closed with OK (see tb::runOptionsSaveSequence):
// a failure is shown (an unsafe name as a message, a write error as an error report) and
// ends the sequence. Returns true when every step ran.
bool runOptionsSave(const CatalogueContext& context, QWidget* parent,
                    const tb::OptionsResult& result, const tb::OptionsSaveSteps& steps);

inline const QString kOptionsNotSavedQuestion =
    QStringLiteral("The options were not all saved. Open them again to save them again?");

// "&Options...": a new options dialog shown modally (through the context's prompts); after
// OK the save sequence runs with the main window's steps. When a step fails,
// kOptionsNotSavedQuestion asks whether to show the same dialog again, with its edits, so
// that OK runs the sequence again. True when the dialog closed with OK and every step ran.
bool runOptionsCommand(const CatalogueContext& context, QWidget* parent,
                       const tb::OptionsSaveSteps& steps);

} // namespace tbapp

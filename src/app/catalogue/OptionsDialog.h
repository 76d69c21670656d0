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

#include "catalogue/CatalogueContext.h"

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

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QTreeWidget* lvSelectModes = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnEdit = nullptr;
    QPushButton* btnDelete = nullptr;
    QToolButton* btnUp = nullptr;
    QToolButton* btnDown = nullptr;
    QWidget* TabSheet3 = nullptr;
    QListWidget* lbTexture = nullptr;
    QPushButton* btnAddTexture = nullptr;
    QPushButton* btnEditTexture = nullptr;
    QPushButton* btnDeleteTexture = nullptr;
    QToolButton* btnTextureUp = nullptr;
    QToolButton* btnTextureDown = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cbTextureLists = nullptr;
    QToolButton* btnAddList = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;

    // Fills lbTexture from list `name` of the textures folder.
    void LoadListItems(const QString& name);

    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnUpClick();
    void btnDownClick();
    void btnAddTextureClick();
    void btnEditTextureClick();
    void btnDeleteTextureClick();
    void btnTextureUpClick();
    void btnTextureDownClick();
    void lbTextureClick();
    void cbTextureListsChange();
    void btnAddListClick();
    void BitBtn2Click();

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

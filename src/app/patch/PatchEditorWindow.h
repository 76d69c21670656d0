#pragma once
// "Patch Editor": a list of cell entries (column, row, altitude, tile id) kept as typed,
// loaded from and saved to ".qvp" patch files. Created once at start-up and only hidden
// when closed, so its list lives until the program ends. While it is visible the main
// window's Insert key adds the cell under the pointer (insertCurrentCell). Loading and
// saving are jobs beside the window, each with its progress window and its Cancel.

#include "app/shell/JobRunner.h"
#include "app/shell/Prompts.h"

#include <QDialog>
#include <QString>

#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tbapp {
class MapEditorLink;
}
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tb {
class KeyFile;
struct PatchEntryText;
} // namespace tb

namespace tbapp {

class PatchEditorWindow : public QDialog {
    Q_OBJECT
public:
    // `appDir` is the application directory; `prompts` shows the messages and dialogs.
    PatchEditorWindow(const QString& appDir, MapEditorLink& link, tbapp::Prompts& prompts,
                      QWidget* parent = nullptr);

    // The Insert key of the map grid: adds the current cell (column, row, altitude, tile id
    // as spaced hex) unless it is listed ("This coords are on list!"). Does nothing while
    // the window is hidden or no map is loaded. True when a row was added; the caller
    // rebuilds its status bar afterwards.
    bool insertCurrentCell();

    // The rows as texts, top to bottom.
    std::vector<tb::PatchEntryText> entries() const;

private:
    // The X and Y texts of the rows, top to bottom.
    std::vector<std::pair<std::string, std::string>> listedCoords() const;
    // "Load": replaces the rows with a patch file's entries, with a progress window.
    void loadPatchFile();
    void loadEntries(std::shared_ptr<const tb::KeyFile> file);
    // "Save": writes the rows to a patch file, with a progress window.
    void savePatchFile();
    // "Add": appends the four boxes as a row unless X and Y are listed.
    void addTypedEntry();
    // "Edit": the first selected row takes the four boxes' texts.
    void replaceSelectedEntry();
    // A click on one row copies it into the boxes; a double click jumps there.
    void showClickedEntry();
    void jumpToClickedEntry();
    void removeSelectedEntries();
    void appendRow(const QString& x, const QString& y, const QString& z, const QString& id);
    std::vector<int> selectedRows() const;

    QPushButton* m_loadButton;
    QPushButton* m_saveButton;
    QTableWidget* m_entryTable;
    QLineEdit* m_xEdit;
    QLineEdit* m_yEdit;
    QLineEdit* m_zEdit;
    QLineEdit* m_idEdit;
    QPushButton* m_addButton;
    QPushButton* m_editButton;
    QPushButton* m_removeButton;
    QPushButton* m_clearButton;
    QPushButton* m_closeButton;

    QString m_appDir;
    MapEditorLink& m_link;
    tbapp::Prompts& m_prompts;
    QString m_openDir; // the initial directory of the Load dialog
    JobRunner m_jobs;  // a load or a save, while it runs
};

} // namespace tbapp

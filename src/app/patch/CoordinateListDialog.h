#pragma once
// "Coordinates Index": the list of favourite coordinates kept in coords.def beside the
// program. Created for each opening and shown modally; it reads coords.def when created
// and writes it back when left with OK (a row selected) or Cancel, not when closed from
// the title bar. OK, Enter, Escape and a double click put the selected pair into the main
// window's jump boxes without jumping.

#include "app/shell/Prompts.h"

#include <QDialog>
#include <QString>

#include <vector>

namespace tbapp {
class MapEditorLink;
}
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tb {
struct CoordText;
}

namespace tbapp {

class CoordinateListDialog : public QDialog {
    Q_OBJECT
public:
    // `appDir` is the application directory; `jumpX` and `jumpY` the texts of the main
    // window's jump boxes, which start the entry boxes; `prompts` shows the messages
    // and dialogs.
    CoordinateListDialog(const QString& appDir, MapEditorLink& link, const QString& jumpX,
                         const QString& jumpY, tbapp::Prompts& prompts, QWidget* parent = nullptr);

    // The rows as texts, top to bottom.
    std::vector<tb::CoordText> rows() const;

public slots:
    // The title bar's close button: leaves without writing.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Copies the jump box texts into the X and Y boxes.
    void copyJumpTexts();
    // Reads coords.def of the application directory into the list; a missing or empty file
    // leaves the list as it is, silently.
    void loadCoordsFile();
    // Replaces coords.def of the application directory with the list. False (after the
    // error report) when it cannot be written.
    bool saveCoordsFile();
    // "Add" appends the X and Y boxes; "Remove" drops the selected row.
    void addTypedRow();
    void removeSelectedRow();
    // OK (also Enter, Escape and a double click): the selected pair goes into the jump
    // boxes and the list into coords.def.
    void acceptSelectedRow();
    // Cancel: the list goes into coords.def all the same.
    void saveAndCancel();
    // "Import" replaces the rows with a .def file; "Export" writes them to one.
    void importList();
    void exportList();
    void setRows(const std::vector<tb::CoordText>& rows);
    void appendRow(const QString& x, const QString& y);
    QString coordsPath() const;

    QPushButton* m_importButton;
    QPushButton* m_exportButton;
    QTableWidget* m_coordTable;
    QLineEdit* m_xEdit;
    QLineEdit* m_yEdit;
    QPushButton* m_addButton;
    QPushButton* m_removeButton;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;

    QString m_appDir;
    MapEditorLink& m_link;
    tbapp::Prompts& m_prompts;
    QString m_jumpX;
    QString m_jumpY;
    QString m_openDir; // the initial directory of the Import dialog
};

} // namespace tbapp

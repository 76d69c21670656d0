#pragma once
// "Coordinates Index": the list of favourite coordinates kept in coords.def beside the
// program. Created for each opening and shown modally; it reads coords.def when created
// and writes it back when left with OK (a row selected) or Cancel, not when closed from
// the title bar. OK, Enter, Escape and a double click put the selected pair into the main
// window's jump boxes without jumping.

#include "shell/Prompts.h"

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

    // Copies the jump box texts into PridatX and PridatY.
    void TempCoords();
    // Reads coords.def of the application directory into the list; a missing or empty file
    // leaves the list as it is, silently.
    void TempLoad();
    // Replaces coords.def of the application directory with the list. False (after the
    // error report) when it cannot be written.
    bool TempSave();

    // The rows as texts, top to bottom.
    std::vector<tb::CoordText> rows() const;

    QPushButton* TLLoad;
    QPushButton* TLSave;
    QTableWidget* Seznam;
    QLineEdit* PridatX;
    QLineEdit* PridatY;
    QPushButton* TLAdd;
    QPushButton* TLRemove;
    QPushButton* TlOK;
    QPushButton* TlCancel;

public slots:
    void TLAddClick();
    void TLRemoveClick();
    void TlOKClick();
    void TlCancelClick();
    void TLLoadClick();
    void TLSaveClick();
    // The title bar's close button: leaves without writing.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setRows(const std::vector<tb::CoordText>& rows);
    void appendRow(const QString& x, const QString& y);
    QString coordsPath() const;

    QString m_appDir;
    MapEditorLink& m_link;
    tbapp::Prompts& m_prompts;
    QString m_jumpX;
    QString m_jumpY;
    QString m_openDir; // the initial directory of the Import dialog
};

} // namespace tbapp

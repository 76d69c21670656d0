#pragma once
// TileGroupDialog: edits one tile group for the options dialog: its caption, its id text,
// and a grid of the tiles of tileids.lst from which the arrow button (or a double-click)
// appends "$" + id + ",". The caller sets the title, the hint and both fields, shows the
// dialog modally and reads the fields after OK.

#include "app/catalogue/CatalogueContext.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace tbapp {
class DrawGrid;

class TileGroupDialog : public QDialog {
    Q_OBJECT
public:
    explicit TileGroupDialog(CatalogueContext context, QWidget* parent = nullptr);

    // The line under the id text (empty unless set).
    void setHint(const QString& text);
    void setCaption(const QString& caption);
    QString caption() const;
    // The ids as typed: "$" + hex digits, separated by commas.
    void setIdText(const QString& text);
    QString idText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Appends the selected grid tile to the id text (the arrow button, a double-click).
    void addSelectedTile();
    // "Go": frames the row of the id typed beside it and scrolls it into view.
    void findTile();
    void drawCell(QPainter& painter, int row, const QRect& rect, bool selected);

    QLineEdit* m_captionEdit = nullptr;
    QLabel* m_idTextLabel = nullptr;
    QPlainTextEdit* m_idTextEdit = nullptr;
    QLabel* m_hintLabel = nullptr;
    QToolButton* m_addIdButton = nullptr;
    DrawGrid* m_tileGrid = nullptr;
    QLabel* m_findLabel = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QPushButton* m_findButton = nullptr;
    QCheckBox* m_showIdsCheck = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    CatalogueContext m_context;
    std::vector<std::string> m_rows; // the ids of tileids.lst as four hex digits
    int m_foundRow = -1;             // the grid row "Go" framed, -1 for none
};

} // namespace tbapp

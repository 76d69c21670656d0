#pragma once
// TileGroupDialog: edits one tile group for the options dialog: its caption, its id text,
// and a grid of the tiles of tileids.lst from which btnAddID (or a double-click) appends
// "$" + id + ",". The caller sets the caption, the hint and both fields, shows the dialog
// modally and reads the fields after OK.

#include "catalogue/CatalogueContext.h"

#include <QDialog>

#include <string>
#include <vector>

class DrawGrid;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace tbapp {

class TileGroupDialog : public QDialog {
    Q_OBJECT
public:
    explicit TileGroupDialog(CatalogueContext context, QWidget* parent = nullptr);

    // The grid's rows: the ids of tileids.lst as four hex digits.
    const std::vector<std::string>& tileRows() const { return m_rows; }
    // The grid row "Go" framed, -1 for none.
    int foundRow() const { return m_foundRow; }

    QLineEdit* edCaption = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* edTileList = nullptr;
    QLabel* lblHelpText = nullptr;
    QToolButton* btnAddID = nullptr;
    DrawGrid* smallDrawGrid = nullptr;
    QLabel* Label13 = nullptr;
    QLineEdit* edFindID = nullptr;
    QPushButton* btnFind = nullptr;
    QCheckBox* cbShowID = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    void btnAddIDClick();
    void btnFindClick();
    void cbShowIDClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void drawCell(QPainter& painter, int row, const QRect& rect, bool selected);

    CatalogueContext m_context;
    std::vector<std::string> m_rows;
    int m_foundRow = -1;
};

} // namespace tbapp

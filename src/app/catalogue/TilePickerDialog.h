#pragma once
// TilePickerDialog: picks one tile id for the options dialog's texture page. A one-row grid of
// the tiles of tileids.lst; btnAddID (or a double-click) puts "$" + the selected tile's
// id into edAddTile. The caller sets the caption, the label and the text, shows it
// modally and reads edAddTile after OK.

#include "catalogue/CatalogueContext.h"

#include <QDialog>

#include <string>
#include <vector>

class DrawGrid;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tbapp {

class TilePickerDialog : public QDialog {
    Q_OBJECT
public:
    explicit TilePickerDialog(CatalogueContext context, QWidget* parent = nullptr);

    // The label of edAddTile.
    void setLabelText(const QString& text);
    const std::vector<std::string>& tileColumns() const { return m_columns; }

    QLineEdit* edAddTile = nullptr;
    QLabel* edAddTileLabel = nullptr;
    QToolButton* btnAddID = nullptr;
    DrawGrid* smallDrawGrid = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    void btnAddIDClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CatalogueContext m_context;
    std::vector<std::string> m_columns;
};

} // namespace tbapp

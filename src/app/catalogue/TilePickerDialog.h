#pragma once
// TilePickerDialog: picks one tile id for the options dialog's texture page. A one-row grid of
// the tiles of tileids.lst; the arrow button (or a double-click) puts "$" + the selected
// tile's id into the tile box. The caller sets the title, the label and the text, shows it
// modally and reads the tile text after OK.

#include "app/catalogue/CatalogueContext.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tbapp {
class DrawGrid;

class TilePickerDialog : public QDialog {
    Q_OBJECT
public:
    explicit TilePickerDialog(CatalogueContext context, QWidget* parent = nullptr);

    // The label of the tile box.
    void setLabelText(const QString& text);
    // The tile box: "$" + hex digits once a tile is taken.
    void setTileText(const QString& text);
    QString tileText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Puts the selected grid tile into the tile box (the arrow button, a double-click).
    void takeSelectedTile();

    QLineEdit* m_tileEdit = nullptr;
    QLabel* m_tileLabel = nullptr;
    QToolButton* m_takeTileButton = nullptr;
    DrawGrid* m_tileGrid = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    CatalogueContext m_context;
    std::vector<std::string> m_columns;
};

} // namespace tbapp

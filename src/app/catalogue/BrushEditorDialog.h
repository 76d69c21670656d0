#pragma once
// BrushEditorDialog ("Custom Brushes"): the brush editor. A brush is drawn cell by cell in
// the brush grid with the pen taken from the palette beside it (row 0 "NODRAW" clears),
// resized with the up-downs and saved under a name as brushes/<name>.brs.
//
// The main window's "Edit" button beside the brush box creates one per use:
//     BrushEditorDialog editor(context, this);
//     editor.setBrushNames(names);            // the main window's brush names
//     if (editor.exec() == QDialog::Accepted) // list the brushes again
// OK saves (or, on an empty answer, saves nothing) and closes with Accepted; Cancel and
// the close button change no file. runBrushEditor does the same in one call. When the
// file cannot be written, the error is shown and kBrushNotSavedQuestion asks whether to
// keep the editor open with its drawing (Yes) or close with Accepted all the same (No).

#include "app/catalogue/CatalogueContext.h"

#include "catalogue/BrushPattern.h"

#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tbapp {
class DrawGrid;

inline const QString kBrushNotSavedQuestion =
    QStringLiteral("The brush was not saved. Keep the editor open to save it again?");

// The names for a brush list (the main window's and the editor's brush box): the
// files brushes/*.brs of the program folder without ".brs", sorted by name.
QStringList brushNames(const QString& applicationDir);

class BrushEditorDialog : public QDialog {
    Q_OBJECT
public:
    explicit BrushEditorDialog(CatalogueContext context, QWidget* parent = nullptr);

    // Fills the brush box's drop-down without loading any of them; the box stays empty.
    void setBrushNames(const QStringList& names);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    // Loads brush `name` into the grid (choosing it in the brush box); an empty name or a
    // name without a file leaves a 1 x 1 "NODRAW" grid.
    void loadBrush(const QString& name);
    // The name box is green when it holds a name.
    void showNameValidity();
    // The up-downs resize the brush.
    void applyRowCount();
    void applyColCount();
    // A click in the palette takes that row's tile as the pen.
    void choosePen(int row);
    // A click in the brush grid puts the pen into that cell.
    void drawWithPen(int col, int row);
    // "Go": frames the palette row of the id typed beside it and takes it as the pen.
    void findTile();
    // OK: saves under the name (asked for when the box is empty) and closes.
    void saveAndClose();
    void syncGridSize();
    void drawBrushCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);
    void drawPaletteCell(QPainter& painter, int row, const QRect& rect, bool selected);

    QLineEdit* m_nameEdit = nullptr;
    QLabel* m_brushListLabel = nullptr;
    QComboBox* m_brushBox = nullptr;
    QLineEdit* m_rowsEdit = nullptr;
    QSpinBox* m_rowsSpin = nullptr;
    QLineEdit* m_colsEdit = nullptr;
    QSpinBox* m_colsSpin = nullptr;
    DrawGrid* m_brushGrid = nullptr;
    QLineEdit* m_findEdit = nullptr;
    QPushButton* m_findButton = nullptr;
    QCheckBox* m_showIdsCheck = nullptr;
    DrawGrid* m_paletteGrid = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;

    CatalogueContext m_context;
    tb::BrushPattern m_brush;
    // The pen: the tile id a click in the brush grid puts into a cell, -1 for "NODRAW".
    int m_pen = -1;
    // The palette's rows: "NODRAW", then the ids of tileids.lst as four hex digits.
    std::vector<std::string> m_paletteRows;
    int m_foundRow = -1; // the palette row framed by "Go"
};

// "Edit" beside the brush box: a new brush editor with `names` in its list, shown modally
// (through the context's prompts). True when it closed with OK: the caller lists the
// brushes again.
bool runBrushEditor(const CatalogueContext& context, QWidget* parent, const QStringList& names);

} // namespace tbapp

#pragma once
// BrushEditorDialog ("Custom Brushes"): the brush editor. A brush is drawn cell by cell in
// BrushGrid with the pen taken from the palette smallDrawGrid (row 0 "NODRAW" clears),
// resized with the up-downs and saved under a name as brushes/<name>.brs.
//
// The main window's "Edit" button (SpeedButton6Click) creates one per use:
//     BrushEditorDialog editor(context, this);
//     editor.setBrushNames(names);            // the main window's brush names
//     if (editor.exec() == QDialog::Accepted) // list the brushes again
// OK saves (or, on an empty answer, saves nothing) and closes with Accepted; Cancel and
// the close button change no file. runBrushEditor does the same in one call. When the
// file cannot be written, the error is shown and kBrushNotSavedQuestion asks whether to
// keep the editor open with its drawing (Yes) or close with Accepted all the same (No).

#include "catalogue/CatalogueContext.h"

#include "catalogue/BrushFile.h"

#include <QDialog>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class DrawGrid;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tbapp {

inline const QString kBrushNotSavedQuestion =
    QStringLiteral("The brush was not saved. Keep the editor open to save it again?");

// The names for a brush list (the main window's and the editor's cbCustomBrushes): the
// files brushes/*.brs of the program folder without ".brs", sorted by name.
QStringList brushNames(const QString& applicationDir);

class BrushEditorDialog : public QDialog {
    Q_OBJECT
public:
    explicit BrushEditorDialog(CatalogueContext context, QWidget* parent = nullptr);

    // Fills cbCustomBrushes' drop-down without loading any of them; the box stays empty.
    void setBrushNames(const QStringList& names);

    const tb::BrushPattern& brush() const { return m_brush; }
    // The pen: the tile id a click in BrushGrid puts into a cell, -1 for "NODRAW".
    int pen() const { return m_pen; }
    // The palette's rows: "NODRAW", then the ids of tileids.lst as four hex digits.
    const std::vector<std::string>& paletteRows() const { return m_paletteRows; }
    // The name the brush was saved under by OK, if any.
    const std::optional<QString>& savedBrushName() const { return m_savedName; }

    QLineEdit* edBrushName = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cbCustomBrushes = nullptr;
    QLineEdit* edRows = nullptr;
    QSpinBox* udRows = nullptr;
    QLineEdit* edCols = nullptr;
    QSpinBox* udCols = nullptr;
    DrawGrid* BrushGrid = nullptr;
    QLineEdit* edFindID = nullptr;
    QPushButton* btnFind = nullptr;
    QCheckBox* cbShowID = nullptr;
    DrawGrid* smallDrawGrid = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    // Loads brush `name` into the grid (what choosing it in cbCustomBrushes does).
    void cbCustomBrushesChange(const QString& name);
    void edBrushNameChange();
    void udRowsClick();
    void udColsClick();
    void smallDrawGridClick(int row);
    void BrushGridSelectCell(int col, int row);
    void btnFindClick();
    void cbShowIDClick();
    void BitBtn1Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void syncGridSize();
    void drawBrushCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);
    void drawPaletteCell(QPainter& painter, int row, const QRect& rect, bool selected);

    CatalogueContext m_context;
    tb::BrushPattern m_brush;
    int m_pen = -1;
    std::vector<std::string> m_paletteRows;
    int m_foundRow = -1; // the palette row framed by "Go"
    std::optional<QString> m_savedName;
};

// "Edit" beside the brush box: a new brush editor with `names` in its list, shown modally
// (through the context's prompts). True when it closed with OK: the caller lists the
// brushes again.
bool runBrushEditor(const CatalogueContext& context, QWidget* parent, const QStringList& names);

} // namespace tbapp

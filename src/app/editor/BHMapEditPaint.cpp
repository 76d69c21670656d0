// TBHMapEditForm, painting: the map view's selection event with the tools of the top bar,
// the altitude and brush-size controls, undo, and the right-button pick into the palette.
// What a selection changes is decided by tb::MapPainter; this file reads the controls,
// redraws the changed cells and shows what went wrong.

#include "editor/BHMapEditForm.h"

#include "shell/DrawGrid.h"
#include "shell/ErrorReport.h"
#include "shell/RadioGroup.h"

#include "catalogue/TextureList.h"
#include "editor/AltitudeTool.h"
#include "shell/NumberText.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include <functional>

namespace {

// Lets a window filter the key presses of one of its controls without becoming an event
// filter itself.
class KeyPressFilter : public QObject {
public:
    // `allow` sees each key press; false drops it.
    KeyPressFilter(QObject* parent, std::function<bool(const QKeyEvent&)> allow)
        : QObject(parent), m_allow(std::move(allow)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && !m_allow(*static_cast<QKeyEvent*>(event)))
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(const QKeyEvent&)> m_allow;
};

// ZValueEditKeyPress: keys that type a character pass only when they are backspace, "-"
// or a digit; keys that type nothing (arrows, Delete, Home) are not characters and pass.
bool zValueKeyPasses(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Backspace)
        return true;
    const QString text = event.text();
    if (text.isEmpty())
        return true;
    for (const QChar c : text)
        if (!tb::zValueKeyAllowed(char32_t(c.unicode())))
            return false;
    return true;
}

} // namespace

void TBHMapEditForm::connectPainting() {
    MainDrawGrid->setSelectCellHandler(
        [this](int col, int row) { MainDrawGridSelectCell(col, row); });
    connect(MainDrawGrid, &DrawGrid::mousePressed, this,
            [this](const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers) {
                MainDrawGridMouseDown(pos, button);
            });
    // Ctrl+Z undoes while the map view has the keyboard focus; the menu entry shows the
    // key as text only and has no shortcut of its own.
    auto* undoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), MainDrawGrid);
    undoKey->setObjectName("MainDrawGridUndoKey");
    undoKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(undoKey, &QShortcut::activated, this, &TBHMapEditForm::TlUndoClick);
    Undo1->setObjectName("TlUndo");
    connect(Undo1, &QAction::triggered, this, &TBHMapEditForm::TlUndoClick);

    connect(BrushSizeMover, &QSpinBox::valueChanged, this, &TBHMapEditForm::BrushSizeMoverClick);
    connect(udRValue, &QSpinBox::valueChanged, this, &TBHMapEditForm::udRValueClick);
    connect(XValueUpDown, &QSpinBox::valueChanged, this, &TBHMapEditForm::XValueUpDownClick);
    ZValueEdit->installEventFilter(new KeyPressFilter(ZValueEdit, zValueKeyPasses));
    // The up-down follows a typed value it can show; every change names the new Z in the
    // status bar.
    auto followZ = [this] {
        const std::optional<std::int32_t> z = tb::tryStrToInt(ZValueEdit->text().toStdString());
        if (z && *z >= tb::kMinAltitude && *z <= tb::kMaxAltitude) {
            const QSignalBlocker quiet(XValueUpDown);
            XValueUpDown->setValue(*z);
        }
    };
    followZ();
    connect(ZValueEdit, &QLineEdit::textChanged, this, [this, followZ] {
        followZ();
        refreshStatusBar();
    });

    connect(cbCustomBrushes, &QComboBox::currentTextChanged, this,
            &TBHMapEditForm::cbCustomBrushesChange);
    connect(SpeedButton6, &QToolButton::clicked, this, &TBHMapEditForm::SpeedButton6Click);
}

// Creation: an empty brush, the drawing-mode list from the tile groups, then the list
// menu and the sorted palette from the default texture list.
void TBHMapEditForm::createPaintingSteps() {
    connectPainting();
    connectPalette();
    m_painter.setCurrentBrush({});
    LoadTileGroups();
    const QString defaultList =
        QString::fromStdString(tb::textureListPath(tb::kDefaultTextureList));
    BuildListMenu(defaultList);
    LoadTextureList(defaultList);
}

// No pending fill and no key navigation.
void TBHMapEditForm::resetPainting() {
    m_painter.reset();
}

tb::PaintControls TBHMapEditForm::paintControls() const {
    tb::PaintControls controls;
    if (btnRectFill->isChecked()) {
        controls.tool = tb::PaintTool::Fill;
    } else if (btnCustomBrush->isChecked()) {
        controls.tool = tb::PaintTool::Brush;
    } else {
        for (std::size_t i = 0; i < btnHoehle.size(); ++i)
            if (btnHoehle[i]->isChecked()) {
                controls.tool = tb::PaintTool::Stamp;
                controls.stampButton = int(i) + 1;
            }
    }
    controls.draw =
        tb::drawChoiceFor(SelectDrawingModeComboBox->currentIndex(), m_tileGroups, m_paletteTile);
    controls.altitudeMode = AltitudeRadioGroup->itemIndex();
    controls.zText = ZValueEdit->text().toStdString();
    controls.addRandomAltitude = cbAddRAl->isChecked();
    controls.randomRangeText = edRauschen->text().toStdString();
    controls.brushSize = BrushSizeMover->value();
    return controls;
}

// The selection event: every click, every cell entered while dragging, every auto-scroll
// step and keyboard move of the map view's current cell.
void TBHMapEditForm::MainDrawGridSelectCell(int col, int row) {
    const tb::SelectionResult result =
        m_painter.selectCell(m_mapLoaded ? &m_map : nullptr, m_undo, paintControls(), col, row);
    // Only the changed cells are drawn again.
    for (const tb::CellPoint& cell : result.changedCells)
        MainDrawGrid->invalidateCell(cell.x, cell.y);
    if (result.zOutOfRange) {
        tbapp::showMessage(this, QString::fromUtf8(tb::kZOutOfRangeMessage.data(),
                                                   qsizetype(tb::kZOutOfRangeMessage.size())));
        ZValueEdit->setText("0");
    }
    if (result.error)
        tbapp::showErrorReport(this, QString::fromStdString(*result.error));
}

// The right button picks the tile under the pointer as "Go" would find it; other buttons
// belong to the selection and the pointer.
void TBHMapEditForm::MainDrawGridMouseDown(const QPoint& pos, Qt::MouseButton button) {
    if (button != Qt::RightButton || !m_mapLoaded)
        return;
    const QPoint cell = MainDrawGrid->mouseCoord(pos);
    if (cell.x() < 0 || cell.y() < 0 || !m_map.contains(cell.x(), cell.y()))
        return;
    paletteGoTo(m_map.cellUnchecked(cell.x(), cell.y()).tileId);
    refreshStatusBar();
}

// Takes back the newest Paint or Fill change and draws its cell again.
void TBHMapEditForm::TlUndoClick() {
    if (!m_mapLoaded)
        return;
    if (const std::optional<tb::CellPoint> cell = m_undo.undo(m_map))
        MainDrawGrid->invalidateCell(cell->x, cell->y);
}

void TBHMapEditForm::BrushSizeMoverClick() {
    BrushSizeEdt->setText(QString::number(BrushSizeMover->value()));
}

void TBHMapEditForm::udRValueClick() {
    edRauschen->setText(QString::number(udRValue->value()));
}

// The up-down bound to ZValueEdit writes its position there.
void TBHMapEditForm::XValueUpDownClick() {
    ZValueEdit->setText(QString::number(XValueUpDown->value()));
}

// TBHMapEditForm, painting: the map view's selection event with the tools of the top bar,
// the altitude and brush-size controls, undo and redo, and the right-button pick into the
// palette. The controls write into the editor state when they change; what a selection
// changes is decided by tb::MapPainter from that state alone, through the map document,
// whose notification redraws the cells. This file shows what went wrong.

#include "editor/BHMapEditForm.h"

#include "shell/DrawGrid.h"
#include "shell/Prompts.h"
#include "shell/RadioGroup.h"

#include "catalogue/TextureList.h"
#include "editor/AltitudeTool.h"
#include "shell/NumberText.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
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
    // The rows recorded from a press of the left button to its release form one stroke.
    connect(MainDrawGrid, &DrawGrid::mousePressed, this,
            [this](const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers) {
                if (button == Qt::LeftButton)
                    m_document.beginStroke();
                MainDrawGridMouseDown(pos, button);
            });
    connect(MainDrawGrid, &DrawGrid::mouseReleased, this,
            [this](const QPoint&, Qt::MouseButton button, Qt::KeyboardModifiers) {
                if (button == Qt::LeftButton)
                    m_document.endStroke();
            });
    // Ctrl+Z and Ctrl+Y are keys of the map view (MainDrawGridKeyDown); the menu entries
    // show them as text only.
    Undo1->setObjectName("TlUndo");
    connect(Undo1, &QAction::triggered, this, &TBHMapEditForm::TlUndoClick);
    Redo1->setObjectName("TlRedo");
    connect(Redo1, &QAction::triggered, this, &TBHMapEditForm::TlRedoClick);
    UndoStroke1->setObjectName("TlUndoStroke");
    connect(UndoStroke1, &QAction::triggered, this, &TBHMapEditForm::TlUndoStrokeClick);
    RedoStroke1->setObjectName("TlRedoStroke");
    connect(RedoStroke1, &QAction::triggered, this, &TBHMapEditForm::TlRedoStrokeClick);

    connect(BrushSizeMover, &QSpinBox::valueChanged, this, &TBHMapEditForm::BrushSizeMoverClick);
    connect(udRValue, &QSpinBox::valueChanged, this, &TBHMapEditForm::udRValueClick);
    connect(XValueUpDown, &QSpinBox::valueChanged, this, &TBHMapEditForm::XValueUpDownClick);
    connect(AltitudeRadioGroup, &tbapp::RadioGroup::itemIndexChanged, this,
            [this](int index) { m_state.altitudeMode = index; });
    connect(cbAddRAl, &QCheckBox::toggled, this,
            [this](bool checked) { m_state.addRandomAltitude = checked; });
    connect(edRauschen, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_state.randomRangeText = text.toStdString(); });
    connect(SelectDrawingModeComboBox, &QComboBox::currentIndexChanged, this,
            &TBHMapEditForm::drawModeChanged);
    for (QToolButton* tool : {btnDefault, btnRectFill, btnCustomBrush})
        connect(tool, &QToolButton::toggled, this, &TBHMapEditForm::toolChanged);
    for (QToolButton* stamp : btnHoehle)
        connect(stamp, &QToolButton::toggled, this, &TBHMapEditForm::toolChanged);
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
        m_state.zText = ZValueEdit->text().toStdString();
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
    m_state.brush.clear();
    LoadTileGroups();
    const QString defaultList =
        QString::fromStdString(tb::textureListPath(tb::kDefaultTextureList));
    BuildListMenu(defaultList);
    LoadTextureList(defaultList);
    syncEditorState();
}

// No pending fill and no key navigation.
void TBHMapEditForm::resetPainting() {
    m_painter.reset();
}

// The controls as they stand at creation (the settings were applied before they were
// connected); from then on each control writes its own part when it changes.
void TBHMapEditForm::syncEditorState() {
    toolChanged();
    drawModeChanged();
    m_state.altitudeMode = AltitudeRadioGroup->itemIndex();
    m_state.zText = ZValueEdit->text().toStdString();
    m_state.addRandomAltitude = cbAddRAl->isChecked();
    m_state.randomRangeText = edRauschen->text().toStdString();
    m_state.brushSize = BrushSizeMover->value();
}

// The tool button that is down.
void TBHMapEditForm::toolChanged() {
    if (btnRectFill->isChecked()) {
        m_state.tool = tb::PaintTool::Fill;
        return;
    }
    if (btnCustomBrush->isChecked()) {
        m_state.tool = tb::PaintTool::Brush;
        return;
    }
    for (std::size_t i = 0; i < btnHoehle.size(); ++i)
        if (btnHoehle[i]->isChecked()) {
            m_state.tool = tb::PaintTool::Stamp;
            m_state.stampButton = int(i) + 1;
            return;
        }
    m_state.tool = tb::PaintTool::Paint;
}

// The draw mode and, for a tile group, a copy of its group.
void TBHMapEditForm::drawModeChanged() {
    m_state.setDrawMode(SelectDrawingModeComboBox->currentIndex(), m_tileGroups);
}

// The selection event: every click, every cell entered while dragging, every auto-scroll
// step and keyboard move of the map view's current cell.
void TBHMapEditForm::MainDrawGridSelectCell(int col, int row) {
    const tb::SelectionResult result =
        m_painter.selectCell(m_mapLoaded ? &m_document : nullptr, m_state, col, row);
    if (result.zOutOfRange) {
        prompts().showMessage(this, QString::fromUtf8(tb::kZOutOfRangeMessage.data(),
                                                      qsizetype(tb::kZOutOfRangeMessage.size())));
        ZValueEdit->setText("0");
    }
    if (result.error)
        prompts().showError(this, QString::fromStdString(*result.error));
}

// The right button picks the tile under the pointer as "Go" would find it; other buttons
// belong to the selection and the pointer.
void TBHMapEditForm::MainDrawGridMouseDown(const QPoint& pos, Qt::MouseButton button) {
    if (button != Qt::RightButton || !m_mapLoaded)
        return;
    const QPoint cell = MainDrawGrid->mouseCoord(pos);
    const tb::MapImage& map = m_document.image();
    if (cell.x() < 0 || cell.y() < 0 || !map.contains(cell.x(), cell.y()))
        return;
    paletteGoTo(map.cellUnchecked(cell.x(), cell.y()).tileId);
    refreshStatusBar();
}

// Undo and redo, a row or a stroke at a time; the document's notification redraws.
void TBHMapEditForm::TlUndoClick() {
    if (m_mapLoaded)
        m_document.undo();
}

void TBHMapEditForm::TlRedoClick() {
    if (m_mapLoaded)
        m_document.redo();
}

void TBHMapEditForm::TlUndoStrokeClick() {
    if (m_mapLoaded)
        m_document.undoStroke();
}

void TBHMapEditForm::TlRedoStrokeClick() {
    if (m_mapLoaded)
        m_document.redoStroke();
}

void TBHMapEditForm::BrushSizeMoverClick() {
    m_state.brushSize = BrushSizeMover->value();
    BrushSizeEdt->setText(QString::number(BrushSizeMover->value()));
}

void TBHMapEditForm::udRValueClick() {
    edRauschen->setText(QString::number(udRValue->value()));
}

// The up-down bound to ZValueEdit writes its position there.
void TBHMapEditForm::XValueUpDownClick() {
    ZValueEdit->setText(QString::number(XValueUpDown->value()));
}

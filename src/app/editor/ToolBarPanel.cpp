#include "app/editor/ToolBarPanel.h"

#include "app/catalogue/BrushEditorDialog.h"
#include "app/shell/Prompts.h"
#include "app/terrain/TerrainLooks.h"

#include "catalogue/BrushFile.h"
#include "editor/Stamp.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringList>
#include <QToolButton>

#include <filesystem>
#include <map>

namespace tbapp {
namespace {

// Which part of the 3 x 3 frame each stamp button sets, by button number - 1.
constexpr const char* kStampParts[tb::kStampButtonCount] = {
    "top two rows",     "right two columns",   "bottom two rows", "left two columns",
    "whole frame",      "centre cell",         "top left corner", "top edge cell",
    "top right corner", "left edge cell",      "right edge cell", "bottom left corner",
    "bottom edge cell", "bottom right corner",
};

// "Stamp: top two rows of the 3 x 3 frame (467 468 469 / 474 475 470)": the part and the
// tile ids it writes, row by row.
QString stampToolTip(int button) {
    std::map<int, QStringList> rows;
    for (const tb::StampCell& cell : tb::stampPattern(button))
        rows[cell.dy] << QString::number(cell.tileId);
    QStringList lines;
    for (const auto& [dy, ids] : rows)
        lines << ids.join(' ');
    return QString("Stamp: %1 of the 3 x 3 frame (%2)")
        .arg(kStampParts[button - 1], lines.join(" / "));
}

// The tool bar's one-key shortcuts. Plain letters: the map view uses the arrows, Insert,
// Page Up/Down, Home, End and Ctrl or Alt chords, and text boxes keep their typed letters.
const QKeySequence kPaintKey(Qt::Key_P);
const QKeySequence kFillKey(Qt::Key_F);
const QKeySequence kBrushKey(Qt::Key_B);
const QKeySequence kTerrainKey(Qt::Key_T);

} // namespace

ToolBarPanel::ToolBarPanel(tb::EditorState& state, const QString& applicationDir, Prompts& prompts,
                           QWidget* parent)
    : QWidget(parent), m_state(state), m_applicationDir(applicationDir), m_prompts(prompts) {
    setObjectName("TopPanel");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);

    m_exitButton = addToolButton("SpeedButton1", exitIcon(), "Exit", "Exit");
    connect(m_exitButton, &QToolButton::clicked, this, &ToolBarPanel::exitClicked);
    layout->addSpacing(8);

    // The tools form one exclusive group: exactly one is down at any time.
    auto* tools = new QButtonGroup(this);
    tools->setExclusive(true);
    auto addTool = [&](const QString& name, const QIcon& icon, const QString& accessibleName,
                       const QString& hint, const QKeySequence& key = {}) {
        QToolButton* button = addToolButton(name, icon, accessibleName, hint);
        button->setCheckable(true);
        if (!key.isEmpty()) {
            button->setShortcut(key);
            // The hint stays the bare name; the description tells the key.
            button->setAccessibleDescription(
                QString("%1 (key %2)").arg(hint, key.toString(QKeySequence::NativeText)));
        }
        tools->addButton(button);
        return button;
    };
    m_paintButton = addTool("btnDefault", paintToolIcon(), "Paint", "Paint", kPaintKey);
    m_fillButton = addTool("btnRectFill", fillToolIcon(), "Fill", "Fill", kFillKey);
    for (int number : tb::kStampButtonOrder)
        m_stampButtons[std::size_t(number - 1)] =
            addTool(QString("btnHoehle%1").arg(number), stampIcon(number, {}),
                    QString("Stamp %1").arg(kStampParts[number - 1]), stampToolTip(number));
    m_brushButton = addTool("btnCustomBrush", brushToolIcon(), "Brush", "Brush", kBrushKey);
    m_terrainButton = addTool("btnTerrain", terrainToolIcon(), "Terrain",
                              "Terrain: paint the terrain chosen in the Terrain panel; the "
                              "edges around it get their transition tiles",
                              kTerrainKey);
    layout->addSpacing(4);
    m_placeItemButton =
        addTool("btnPlaceItem", placeItemIcon(), "Place item",
                "Place item: a click puts the item chosen in the item browser on the cell");
    m_selectItemsButton =
        addTool("btnSelectItems", selectItemsIcon(), "Select items",
                "Select items: click a cell or drag a rectangle, click a cell again to pick one of "
                "its items, drag the selection to move it (Escape cancels or clears); Delete "
                "removes, + and - raise and lower (Alt+Up and Alt+Down: by 5), H sets the hue, "
                "Ctrl+C and Ctrl+V copy and paste");
    m_paintButton->setChecked(true);
    connect(tools, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool down) {
        if (down)
            updateTool();
    });
    layout->addSpacing(8);

    m_overviewButton = addToolButton("TlMap", overviewIcon(), "Overview", "Overview");
    connect(m_overviewButton, &QToolButton::clicked, this, &ToolBarPanel::overviewClicked);
    layout->addSpacing(8);

    m_brushBox = new QComboBox(this);
    m_brushBox->setObjectName("cbCustomBrushes");
    m_brushBox->setEditable(true);
    m_brushBox->setMinimumContentsLength(12);
    m_brushBox->setAccessibleName("Custom brush");
    layout->addWidget(m_brushBox);
    connect(m_brushBox, &QComboBox::currentTextChanged, this, &ToolBarPanel::readBrush);
    m_editBrushButton = new QToolButton(this);
    m_editBrushButton->setObjectName("SpeedButton6");
    m_editBrushButton->setText("Edit");
    m_editBrushButton->setAccessibleName("Edit brushes");
    layout->addWidget(m_editBrushButton);
    connect(m_editBrushButton, &QToolButton::clicked, this, &ToolBarPanel::editBrushesClicked);
    layout->addSpacing(8);

    // What both views leave out: land and items above Max Z (to look into a house).
    auto* maxZLabel = new QLabel("Max Z", this);
    m_maxZSpin = new QSpinBox(this);
    m_maxZSpin->setObjectName("MaxZSpin");
    m_maxZSpin->setAccessibleName("Max Z");
    m_maxZSpin->setToolTip("Land and items above this altitude are not drawn");
    m_maxZSpin->setRange(-128, 127);
    m_maxZSpin->setValue(127);
    maxZLabel->setBuddy(m_maxZSpin);
    layout->addWidget(maxZLabel);
    layout->addWidget(m_maxZSpin);
    connect(m_maxZSpin, &QSpinBox::valueChanged, this, &ToolBarPanel::maxZChanged);
    m_viewToggles = new QHBoxLayout;
    m_viewToggles->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_viewToggles);
    layout->addStretch(1);
    updateTool();
}

void ToolBarPanel::addViewToggle(QAction* action, const QString& name) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAccessibleName(action->text().remove('&'));
    m_viewToggles->addWidget(button);
}

int ToolBarPanel::maxZ() const {
    return m_maxZSpin->value();
}

QToolButton* ToolBarPanel::addToolButton(const QString& name, const QIcon& icon,
                                         const QString& accessibleName, const QString& hint) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    // Icon-only: screen readers and tests would otherwise find no name.
    button->setAccessibleName(accessibleName);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFixedSize(27, 27);
    layout()->addWidget(button);
    return button;
}

bool ToolBarPanel::stampToolDown() const {
    return m_state.tool == tb::PaintTool::Stamp;
}

ToolKind ToolBarPanel::toolKind() const {
    if (m_terrainButton->isChecked())
        return ToolKind::Terrain;
    if (m_placeItemButton->isChecked())
        return ToolKind::PlaceItem;
    if (m_selectItemsButton->isChecked())
        return ToolKind::SelectItems;
    return ToolKind::Land;
}

// While the Terrain tool or an item tool is down the land tool stays Paint; the window hands
// the map view that tool then.
void ToolBarPanel::updateTool() {
    if (m_fillButton->isChecked()) {
        m_state.tool = tb::PaintTool::Fill;
    } else if (m_brushButton->isChecked()) {
        m_state.tool = tb::PaintTool::Brush;
    } else {
        m_state.tool = tb::PaintTool::Paint;
        for (std::size_t i = 0; i < m_stampButtons.size(); ++i)
            if (m_stampButtons[i]->isChecked()) {
                m_state.tool = tb::PaintTool::Stamp;
                m_state.stampButton = int(i) + 1;
            }
    }
    emit toolChanged();
}

void ToolBarPanel::showStampPictures(const TilePictureSource& pictures) {
    for (std::size_t i = 0; i < m_stampButtons.size(); ++i)
        m_stampButtons[i]->setIcon(stampIcon(int(i) + 1, pictures));
}

void ToolBarPanel::listBrushes() {
    const QString text = m_brushBox->currentText();
    const QSignalBlocker quiet(m_brushBox);
    m_brushBox->clear();
    m_brushBox->addItems(tbapp::brushNames(m_applicationDir));
    m_brushBox->setCurrentIndex(m_brushBox->findText(text));
    m_brushBox->setEditText(text);
}

QStringList ToolBarPanel::brushNames() const {
    QStringList names;
    for (int i = 0; i < m_brushBox->count(); ++i)
        names << m_brushBox->itemText(i);
    return names;
}

// The brush named in the box becomes the current brush; a name without a file leaves the
// brush empty and shows the file error. An emptied box just empties the brush.
void ToolBarPanel::readBrush() {
    m_state.brush.clear();
    const QString name = m_brushBox->currentText();
    if (name.isEmpty())
        return;
    runReported(m_prompts, this, [&] {
        m_state.setBrushLines(tb::readBrushLines(
            std::filesystem::path(m_applicationDir.toStdU16String()), name.toStdString()));
    });
}

} // namespace tbapp

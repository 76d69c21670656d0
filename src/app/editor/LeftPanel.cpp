#include "app/editor/LeftPanel.h"

#include "app/shell/RadioGroup.h"

#include "shell/NumberText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace tbapp {

LeftPanel::LeftPanel(tb::EditorState& state, QWidget* parent) : QWidget(parent), m_state(state) {
    setObjectName("LeftPanel");
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    layout->addWidget(createBrushGroup());
    layout->addWidget(createZoomGroup());
    layout->addWidget(createCoordsGroup());

    m_altitudeSwitch = new RadioGroup(" Altitude ", {"On", "Off"}, 1, this);
    m_altitudeSwitch->setObjectName("ShowAltitudeRadioGroup");
    m_altitudeSwitch->setItemIndex(1);
    layout->addWidget(m_altitudeSwitch);
    connect(m_altitudeSwitch, &RadioGroup::clicked, this, &LeftPanel::altitudeSwitched);

    m_gridSwitch = new RadioGroup(" Grid ", {"On", "Off"}, 1, this);
    m_gridSwitch->setObjectName("GridBox");
    m_gridSwitch->setItemIndex(1);
    layout->addWidget(m_gridSwitch);
    connect(m_gridSwitch, &RadioGroup::clicked, this, &LeftPanel::gridSwitched);
    layout->addStretch(1);
}

QGroupBox* LeftPanel::createBrushGroup() {
    auto* group = new QGroupBox(" Brush Size ", this);
    group->setObjectName("BrushSizeGroup");
    auto* layout = new QGridLayout(group);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    m_brushSizeEdit = new QLineEdit("1", group);
    m_brushSizeEdit->setObjectName("BrushSizeEdt");
    m_brushSizeEdit->setReadOnly(true);
    m_brushSizeEdit->setMaximumWidth(40);
    m_brushSizeSpin = new QSpinBox(group);
    m_brushSizeSpin->setObjectName("BrushSizeMover");
    m_brushSizeSpin->setRange(1, 9);
    m_randomAltitudeCheck = new QCheckBox("Add random altitude", group);
    m_randomAltitudeCheck->setObjectName("cbAddRAl");
    m_randomRangeEdit = new QLineEdit("1", group);
    m_randomRangeEdit->setObjectName("edRauschen");
    m_randomRangeEdit->setMaximumWidth(40);
    m_randomRangeSpin = new QSpinBox(group);
    m_randomRangeSpin->setObjectName("udRValue");
    m_randomRangeSpin->setRange(1, 10);
    layout->addWidget(m_brushSizeEdit, 0, 0);
    layout->addWidget(m_brushSizeSpin, 0, 1);
    layout->addWidget(m_randomAltitudeCheck, 1, 0, 1, 2);
    layout->addWidget(new QLabel("Value", group), 2, 0, 1, 2);
    layout->addWidget(m_randomRangeEdit, 3, 0);
    layout->addWidget(m_randomRangeSpin, 3, 1);

    // Neither up-down is bound to its box: each copies its position there when it moves,
    // and a number typed into the range box is used as typed (read once per change; a text
    // that is no number fails the first painted cell that needs it).
    connect(m_brushSizeSpin, &QSpinBox::valueChanged, this, [this](int size) {
        m_state.brushSize = size;
        m_brushSizeEdit->setText(QString::number(size));
        emit brushSizeChanged(size);
    });
    connect(m_randomRangeSpin, &QSpinBox::valueChanged, this,
            [this](int range) { m_randomRangeEdit->setText(QString::number(range)); });
    connect(m_randomAltitudeCheck, &QCheckBox::toggled, this,
            [this](bool on) { m_state.addRandomAltitude = on; });
    connect(m_randomRangeEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_state.randomRange = tb::checkedStrToInt(text.toStdString());
    });
    m_state.brushSize = m_brushSizeSpin->value();
    m_state.addRandomAltitude = m_randomAltitudeCheck->isChecked();
    m_state.randomRange = tb::checkedStrToInt(m_randomRangeEdit->text().toStdString());
    return group;
}

void LeftPanel::setBrushSize(int size) {
    m_brushSizeSpin->setValue(size);
}

QGroupBox* LeftPanel::createZoomGroup() {
    m_zoomGroup = new QGroupBox(this);
    m_zoomGroup->setObjectName("ZoomGroup");
    auto* layout = new QGridLayout(m_zoomGroup);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    m_zoomOutButton = new QToolButton(m_zoomGroup);
    m_zoomOutButton->setObjectName("SpeedButton2");
    m_zoomOutButton->setText("-");
    m_zoomOutButton->setToolTip("Zoom out (Ctrl + wheel down)");
    m_zoomInButton = new QToolButton(m_zoomGroup);
    m_zoomInButton->setObjectName("SpeedButton3");
    m_zoomInButton->setText("+");
    m_zoomInButton->setToolTip("Zoom in (Ctrl + wheel up)");
    m_defaultZoomButton = new QPushButton("Default", m_zoomGroup);
    m_defaultZoomButton->setObjectName("TLZoomLevel");
    m_defaultZoomButton->setFlat(true);
    layout->addWidget(m_zoomOutButton, 0, 0);
    layout->addWidget(m_zoomInButton, 0, 1);
    layout->addWidget(m_defaultZoomButton, 1, 0, 1, 2);
    connect(m_zoomOutButton, &QToolButton::clicked, this, &LeftPanel::zoomOutClicked);
    connect(m_zoomInButton, &QToolButton::clicked, this, &LeftPanel::zoomInClicked);
    connect(m_defaultZoomButton, &QPushButton::clicked, this, &LeftPanel::defaultZoomClicked);
    showZoom(tb::ZoomState{});
    return m_zoomGroup;
}

QGroupBox* LeftPanel::createCoordsGroup() {
    auto* group = new QGroupBox(" Coords ", this);
    group->setObjectName("CoordsGroup");
    auto* layout = new QGridLayout(group);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    m_jumpXEdit = new QLineEdit(group);
    m_jumpXEdit->setObjectName("XJumpEdit");
    m_jumpYEdit = new QLineEdit(group);
    m_jumpYEdit->setObjectName("YJumpEdit");
    m_jumpButton = new QPushButton("Go", group);
    m_jumpButton->setObjectName("CoordGoBtn");
    m_listButton = new QPushButton("List", group);
    m_listButton->setObjectName("List");
    layout->addWidget(new QLabel("X", group), 0, 0);
    layout->addWidget(m_jumpXEdit, 0, 1);
    layout->addWidget(new QLabel("Y", group), 1, 0);
    layout->addWidget(m_jumpYEdit, 1, 1);
    layout->addWidget(m_jumpButton, 2, 0, 1, 2);
    layout->addWidget(m_listButton, 3, 0, 1, 2);
    connect(m_jumpButton, &QPushButton::clicked, this, &LeftPanel::jumpClicked);
    connect(m_listButton, &QPushButton::clicked, this, &LeftPanel::listClicked);
    m_jumpXEdit->installEventFilter(this);
    m_jumpYEdit->installEventFilter(this);
    return group;
}

// Ctrl + a digit of the main keyboard in a jump box recalls a bookmark; no other key is
// taken from the boxes.
bool LeftPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool digit = key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9 &&
                           !(key->modifiers() & Qt::KeypadModifier);
        if (digit && (key->modifiers() & Qt::ControlModifier)) {
            emit bookmarkKeyPressed(key->key() - Qt::Key_0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString LeftPanel::jumpX() const {
    return m_jumpXEdit->text();
}

QString LeftPanel::jumpY() const {
    return m_jumpYEdit->text();
}

void LeftPanel::setJumpTexts(const QString& x, const QString& y) {
    m_jumpXEdit->setText(x);
    m_jumpYEdit->setText(y);
}

bool LeftPanel::altitudeShown() const {
    return m_altitudeSwitch->itemIndex() == 0;
}

bool LeftPanel::gridShown() const {
    return m_gridSwitch->itemIndex() == 0;
}

int LeftPanel::altitudeItem() const {
    return m_altitudeSwitch->itemIndex();
}

int LeftPanel::gridItem() const {
    return m_gridSwitch->itemIndex();
}

void LeftPanel::setAltitudeItem(int item) {
    m_altitudeSwitch->setItemIndex(item);
}

void LeftPanel::setGridItem(int item) {
    m_gridSwitch->setItemIndex(item);
}

void LeftPanel::showZoom(const tb::ZoomState& zoom) {
    m_zoomInButton->setEnabled(zoom.zoomInEnabled);
    m_zoomOutButton->setEnabled(zoom.zoomOutEnabled);
    m_zoomGroup->setTitle(QString::fromStdString(tb::zoomCaption(zoom.level)));
}

} // namespace tbapp

#include "app/editor/BottomPanel.h"

#include "app/shell/RadioGroup.h"

#include "editor/AltitudeTool.h"
#include "editor/MapPainter.h"
#include "shell/NumberText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <array>

namespace tbapp {
namespace {

// The items of "Modify the altitude", left to right.
constexpr std::array<tb::AltitudeMode, 4> kAltitudeItems{
    tb::AltitudeMode::AddZ, tb::AltitudeMode::SubtractZ, tb::AltitudeMode::SetToZ,
    tb::AltitudeMode::OnlyChangeTile};
// The fixed items at the top of the draw mode list; the tile groups follow them.
constexpr std::array<tb::DrawMode, 3> kFixedDrawItems{
    tb::DrawMode::DontDraw, tb::DrawMode::SelectedTile, tb::DrawMode::AltitudeOnly};

// Keys that type a character pass the altitude box only when they are backspace, "-" or a
// digit; keys that type nothing (arrows, Delete, Home) pass.
bool zKeyPasses(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Backspace)
        return true;
    for (const QChar c : event.text())
        if (!tb::zValueKeyAllowed(char32_t(c.unicode())))
            return false;
    return true;
}

} // namespace

BottomPanel::BottomPanel(tb::EditorState& state, QWidget* parent)
    : QWidget(parent), m_state(state) {
    setObjectName("BottomPanel");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);

    m_altitudeModes = new RadioGroup(" Modify the altitude ",
                                     {"Add Z", "Subtr Z", "Set to Z", "Only Change Tile"}, 4, this);
    m_altitudeModes->setObjectName("AltitudeRadioGroup");
    m_altitudeModes->setItemIndex(3);
    layout->addWidget(m_altitudeModes);

    layout->addWidget(new QLabel("Z (altitude) =", this));
    m_zEdit = new QLineEdit("0", this);
    m_zEdit->setObjectName("ZValueEdit");
    m_zEdit->setMaxLength(4);
    m_zEdit->setMinimumWidth(m_zEdit->fontMetrics().horizontalAdvance("-1288") + 10);
    m_zEdit->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_zEdit->installEventFilter(this);
    layout->addWidget(m_zEdit);
    m_zSpin = new QSpinBox(this);
    m_zSpin->setObjectName("XValueUpDown");
    m_zSpin->setRange(tb::kMinAltitude, tb::kMaxAltitude);
    layout->addWidget(m_zSpin);

    layout->addWidget(new QLabel("Select draw mode :", this));
    m_drawModeBox = new QComboBox(this);
    m_drawModeBox->setObjectName("SelectDrawingModeComboBox");
    m_drawModeBox->setMaxVisibleItems(16);
    m_drawModeBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addWidget(m_drawModeBox, 1);
    setTileGroups({});

    connect(m_altitudeModes, &RadioGroup::itemIndexChanged, this, [this](int item) {
        if (item >= 0 && std::size_t(item) < kAltitudeItems.size())
            m_state.altitudeMode = kAltitudeItems[std::size_t(item)];
    });
    connect(m_altitudeModes, &RadioGroup::clicked, this, &BottomPanel::modesChanged);
    // The up-down writes its position into the box; the box moves the up-down to a typed
    // value it can show. Every change names the new Z in the status bar.
    connect(m_zSpin, &QSpinBox::valueChanged, this,
            [this](int z) { m_zEdit->setText(QString::number(z)); });
    connect(m_zEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_state.z = tb::checkedStrToInt(text.toStdString());
        if (m_state.z.ok()) {
            const std::int32_t z = m_state.z.get();
            if (z >= tb::kMinAltitude && z <= tb::kMaxAltitude) {
                const QSignalBlocker quiet(m_zSpin);
                m_zSpin->setValue(z);
            }
        }
        emit modesChanged();
    });
    connect(m_drawModeBox, &QComboBox::currentIndexChanged, this, [this] {
        readDrawMode();
        emit modesChanged();
    });
    m_state.altitudeMode = kAltitudeItems[3];
    m_state.z = tb::checkedStrToInt(m_zEdit->text().toStdString());
}

bool BottomPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_zEdit && event->type() == QEvent::KeyPress &&
        !zKeyPasses(*static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void BottomPanel::setTileGroups(const std::vector<tb::TileGroup>& groups) {
    m_groups = groups;
    {
        const QSignalBlocker quiet(m_drawModeBox);
        m_drawModeBox->clear();
        for (const std::string& caption : tb::drawModeCaptions(m_groups))
            m_drawModeBox->addItem(QString::fromStdString(caption));
        m_drawModeBox->setCurrentIndex(0);
    }
    readDrawMode();
    emit modesChanged();
}

void BottomPanel::setDrawMode(tb::DrawMode mode) {
    for (std::size_t i = 0; i < kFixedDrawItems.size(); ++i)
        if (kFixedDrawItems[i] == mode)
            m_drawModeBox->setCurrentIndex(int(i));
}

// The item of the list as a mode, with the group of a group item.
void BottomPanel::readDrawMode() {
    const int item = std::max(0, m_drawModeBox->currentIndex());
    if (std::size_t(item) < kFixedDrawItems.size()) {
        m_state.setDrawMode(kFixedDrawItems[std::size_t(item)]);
        return;
    }
    const std::size_t group = std::size_t(item) - kFixedDrawItems.size();
    m_state.setDrawMode(tb::DrawMode::TileGroup,
                        group < m_groups.size() ? std::optional(m_groups[group]) : std::nullopt);
}

QString BottomPanel::zText() const {
    return m_zEdit->text();
}

void BottomPanel::setZText(const QString& text) {
    m_zEdit->setText(text);
}

int BottomPanel::altitudeItem() const {
    return m_altitudeModes->itemIndex();
}

void BottomPanel::setAltitudeItem(int item) {
    m_altitudeModes->setItemIndex(item);
}

QString BottomPanel::groupName() const {
    return m_state.drawMode == tb::DrawMode::TileGroup ? m_drawModeBox->currentText() : QString();
}

} // namespace tbapp

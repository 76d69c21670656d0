#include "app/terrain/FixAreaDialog.h"

#include "app/shell/ObjectNamed.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tbapp {

FixAreaDialog::FixAreaDialog(const tb::CellRect& map, QWidget* parent)
    : QDialog(parent), m_map(map) {
    setObjectName("FixEdgesArea");
    setWindowTitle("Fix edges");
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel("No items are selected. Fix edges over the cells from", this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto* grid = new QGridLayout;
    const char* names[] = {"FixAreaX1", "FixAreaY1", "FixAreaX2", "FixAreaY2"};
    const char* labels[] = {"X1", "Y1", "X2", "Y2"};
    const char* spoken[] = {"First corner X", "First corner Y", "Second corner X",
                            "Second corner Y"};
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        QSpinBox* box = named(new QSpinBox(this), names[i]);
        const bool across = i % 2 == 0;
        box->setRange(across ? map.left : map.top, across ? map.right : map.bottom);
        box->setAccessibleName(spoken[i]);
        auto* label = new QLabel(labels[i], this);
        label->setBuddy(box);
        grid->addWidget(label, int(i / 2), int(i % 2) * 2);
        grid->addWidget(box, int(i / 2), int(i % 2) * 2 + 1);
        m_boxes[i] = box;
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* whole =
        named(buttons->addButton("Whole map", QDialogButtonBox::ResetRole), "FixAreaWholeMap");
    whole->setAccessibleName("The whole map");
    buttons->button(QDialogButtonBox::Ok)->setObjectName("FixAreaOk");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("FixAreaCancel");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(whole, &QPushButton::clicked, this, [this] { setArea(m_map); });
    setArea(map);
}

tb::CellRect FixAreaDialog::area() const {
    return tb::CellRect::spanning(m_boxes[0]->value(), m_boxes[1]->value(), m_boxes[2]->value(),
                                  m_boxes[3]->value());
}

void FixAreaDialog::setArea(const tb::CellRect& area) {
    m_boxes[0]->setValue(area.left);
    m_boxes[1]->setValue(area.top);
    m_boxes[2]->setValue(area.right);
    m_boxes[3]->setValue(area.bottom);
}

} // namespace tbapp

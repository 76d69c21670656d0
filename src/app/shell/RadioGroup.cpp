#include "app/shell/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace tbapp {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), m_buttons(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    columns = std::max(1, columns);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(QString("%1Item%2").arg(objectName()).arg(i));
        m_buttons->addButton(button, i);
        layout->addWidget(button, i / columns, i % columns);
    }
    connect(m_buttons, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
    connect(m_buttons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit itemIndexChanged(id);
    });
}

int RadioGroup::itemIndex() const {
    return m_buttons->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = m_buttons->button(index))
        button->setChecked(true);
}

int RadioGroup::count() const {
    return int(m_buttons->buttons().size());
}

QRadioButton* RadioGroup::button(int index) const {
    return static_cast<QRadioButton*>(m_buttons->button(index));
}

} // namespace tbapp

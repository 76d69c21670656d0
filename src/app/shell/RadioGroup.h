#pragma once
// A captioned group of radio buttons addressed by item index, laid out in columns.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace tbapp {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, int columns,
               QWidget* parent = nullptr);

    // The checked item, or -1.
    int itemIndex() const;
    // Checks an item without emitting clicked(); an index outside the items is ignored.
    void setItemIndex(int index);
    int count() const;
    QRadioButton* button(int index) const;

signals:
    // The user (or a test) clicked an item.
    void clicked(int index);
    // Another item became the checked one, by a click or by setItemIndex().
    void itemIndexChanged(int index);

private:
    QButtonGroup* m_buttons;
};

} // namespace tbapp

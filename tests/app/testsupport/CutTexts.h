#pragma once
// Finds the captions a window's layout cuts: a label or button narrower or lower than its
// text needs.

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

namespace tbtest {

// Every text a visible control shows that its geometry cuts, as "name (text): size < need".
inline QStringList cutTexts(QWidget& window) {
    QStringList cut;
    auto check = [&](QWidget* control, const QString& text, QSize need) {
        if (!control->isVisible() || text.isEmpty())
            return;
        if (control->width() < need.width() || control->height() < need.height())
            cut << QString("%1 (%2): %3x%4 < %5x%6")
                       .arg(control->objectName(), text)
                       .arg(control->width())
                       .arg(control->height())
                       .arg(need.width())
                       .arg(need.height());
    };
    for (QLabel* label : window.findChildren<QLabel*>())
        if (!label->objectName().startsWith("StatusPanel")) // status texts may run long
            check(label, label->text(), label->sizeHint());
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        // A push button's size hint asks for a styled minimum width; its text needs less.
        QSize need = button->sizeHint();
        if (qobject_cast<QPushButton*>(button))
            need.setWidth(button->fontMetrics().horizontalAdvance(button->text()) + 8);
        check(button, button->text(), need);
    }
    return cut;
}

} // namespace tbtest

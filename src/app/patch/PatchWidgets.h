#pragma once
// Small control makers shared by the patch editor and the coordinate list.

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>

#include <string>

namespace tbapp {

// A push button that Enter in the window's edits does not press.
inline QPushButton* makeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

inline QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

inline QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace tbapp

#pragma once
// Names a control as it is built, so the building code reads as one expression and tests
// find the control by that name.

#include <QObject>
#include <QString>

namespace tbapp {

// `object` with its object name set to `name`.
template <typename T> T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

} // namespace tbapp

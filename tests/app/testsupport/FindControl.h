#pragma once
// Finds a window's control by its object name, as the window tests reach every control.

#include <QObject>
#include <QtTest>

namespace tbtest {

// The child of `window` of type T named `name`; a missing control ends the test run with
// the name, so a renamed control is never mistaken for a behaviour change.
template <typename T> T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no control %s", qPrintable(window.objectName()), name);
    return found;
}

} // namespace tbtest

#pragma once
// Reaching the main window's controls the way a user names them: by their object names.

#include "testsupport/WaitForJobs.h"

#include "app/editor/MapEditorWindow.h"
#include "app/editor/MapView.h"
#include "app/editor/TilePalette.h"

#include <QByteArray>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QString>
#include <QtGlobal>

namespace tbtest {

// The control named `name` inside `window`; a missing control ends the test run, as
// every later step would fail on it anyway.
template <typename T> T* ui(const QObject& window, const QString& name) {
    T* control = window.findChild<T*>(name);
    if (!control)
        qFatal("no control named %s", qPrintable(name));
    return control;
}

inline QString statusText(const QObject& window, int panel) {
    return ui<QLabel>(window, QString("StatusPanel%1").arg(panel))->text();
}

inline int statusWidth(const QObject& window, int panel) {
    return ui<QLabel>(window, QString("StatusPanel%1").arg(panel))->maximumWidth();
}

inline tbapp::TilePalette& palette(QObject& window) {
    return *ui<tbapp::TilePalette>(window, "RightPanel");
}

inline tbapp::MapView& mapView(QObject& window) {
    return *ui<tbapp::MapView>(window, "MapView");
}

// Load, as its button does it, to the end of its job: the set-up of a test that needs the
// map and the art, not a test of Load itself.
inline void loadMap(tbapp::MapEditorWindow& window) {
    ui<QPushButton>(window, "btnLoad")->click();
    if (!jobsEnded())
        qWarning("the Load job did not end");
}

} // namespace tbtest

#pragma once
// Driving windows the way a user does, by the object names of their controls: clicks, typed
// texts, mouse strokes and keys on an owner-drawn grid, and waiting for the events they
// start. Every failure throws ScreenshotError naming the window and the control.

#include <QApplication>
#include <QObject>
#include <QPoint>
#include <QString>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <vector>

namespace tbapp {
class DrawGrid;
}
class QWidget;

namespace shots {

// A window or control was missing or did not do what the step needs.
class ScreenshotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Lets every pending event run, timers due now included, a few rounds over.
void settle();
// Lets the event loop run until the long operations the scene started (Load, Save) have
// ended beside the windows.
void waitForJobs();

// Runs events until `done` holds; throws naming `what` after `limit`.
void waitUntil(const std::function<bool()>& done, const QString& what,
               std::chrono::milliseconds limit = std::chrono::seconds(60));

// The child of `root` of type T named `name`.
template <typename T> T& control(const QObject& root, const QString& name) {
    T* found = root.findChild<T*>(name);
    if (!found)
        throw ScreenshotError(
            QString("%1 has no control %2")
                .arg(root.objectName().isEmpty() ? QString("the window") : root.objectName(), name)
                .toStdString());
    return *found;
}

// The visible top-level window named `name`.
QWidget& topLevelWindow(const QString& name);

// Clicks the enabled button `name` of `root`.
void clickButton(const QObject& root, const QString& name);
// Triggers the enabled menu entry `name` of `root`.
void triggerAction(const QObject& root, const QString& name);
// Replaces the text of the line edit `name` of `root`, as typing does.
void typeText(const QObject& root, const QString& name, const QString& text);
// Clicks the radio button captioned `caption` inside the group `groupName` of `root`.
void clickRadio(const QObject& root, const QString& groupName, const QString& caption);
// Chooses the item `text` of the combo box `name` of `root`.
void chooseItem(const QObject& root, const QString& name, const QString& text);

// A left-button stroke on `grid` through the cells (column, row), each of which must be
// visible: pressed on the first, dragged cell by cell through the rest, released on the last.
void dragThroughCells(tbapp::DrawGrid& grid, const std::vector<QPoint>& cells);
// The pointer over a visible cell of `grid`, no button held.
void pointAtCell(tbapp::DrawGrid& grid, const QPoint& cell);
// A key pressed and released on `widget`.
void pressKey(QWidget& widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

} // namespace shots

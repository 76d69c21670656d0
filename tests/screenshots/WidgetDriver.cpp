#include "WidgetDriver.h"

#include "app/shell/DrawGrid.h"
#include "app/shell/JobRunner.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QThread>

namespace shots {
namespace {

QString ownerName(const QObject& root) {
    return root.objectName().isEmpty() ? QString("the window") : root.objectName();
}

[[noreturn]] void fail(const QObject& root, const QString& what) {
    throw ScreenshotError((ownerName(root) + ": " + what).toStdString());
}

QPoint cellCentre(tbapp::DrawGrid& grid, const QPoint& cell) {
    const QRect rect = grid.cellRect(cell.x(), cell.y());
    if (!grid.viewport()->rect().contains(rect.center()))
        throw ScreenshotError(QString("%1: cell (%2, %3) is not in view")
                                  .arg(grid.objectName())
                                  .arg(cell.x())
                                  .arg(cell.y())
                                  .toStdString());
    return rect.center();
}

void sendMouse(tbapp::DrawGrid& grid, QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QWidget* viewport = grid.viewport();
    QMouseEvent event(type, QPointF(pos), viewport->mapToGlobal(QPointF(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

// The cells from `from` to `to`, one step (also diagonal) at a time, `to` included.
std::vector<QPoint> stepsBetween(QPoint from, const QPoint& to) {
    std::vector<QPoint> steps;
    while (from != to) {
        from += QPoint((to.x() > from.x()) - (to.x() < from.x()),
                       (to.y() > from.y()) - (to.y() < from.y()));
        steps.push_back(from);
    }
    return steps;
}

} // namespace

void settle() {
    for (int round = 0; round < 5; ++round) {
        QApplication::sendPostedEvents();
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

void waitUntil(const std::function<bool()>& done, const QString& what,
               std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit.count())
            throw ScreenshotError(QString("gave up waiting after %1 s: %2")
                                      .arg(limit.count() / 1000)
                                      .arg(what)
                                      .toStdString());
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

void waitForJobs() {
    waitUntil([] { return !tbapp::JobRunner::anyBusy(); }, "the long operations to end");
    settle();
}

QWidget& topLevelWindow(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            return *window;
    throw ScreenshotError(QString("no window %1 is open").arg(name).toStdString());
}

void clickButton(const QObject& root, const QString& name) {
    auto& button = control<QAbstractButton>(root, name);
    if (!button.isEnabled())
        fail(root, name + " is disabled");
    button.click();
}

void triggerAction(const QObject& root, const QString& name) {
    auto& action = control<QAction>(root, name);
    if (!action.isEnabled())
        fail(root, "the menu entry " + name + " is disabled");
    action.trigger();
}

void typeText(const QObject& root, const QString& name, const QString& text) {
    auto& edit = control<QLineEdit>(root, name);
    if (!edit.isEnabled())
        fail(root, name + " is disabled");
    edit.setText(text);
}

void clickRadio(const QObject& root, const QString& groupName, const QString& caption) {
    auto& group = control<QWidget>(root, groupName);
    for (QRadioButton* button : group.findChildren<QRadioButton*>()) {
        if (button->text().remove('&') == caption) {
            button->click();
            return;
        }
    }
    fail(root, groupName + " has no item \"" + caption + "\"");
}

void chooseItem(const QObject& root, const QString& name, const QString& text) {
    auto& box = control<QComboBox>(root, name);
    const int index = box.findText(text);
    if (index < 0)
        fail(root, name + " offers no \"" + text + "\"");
    box.setCurrentIndex(index);
}

void dragThroughCells(tbapp::DrawGrid& grid, const std::vector<QPoint>& cells) {
    if (cells.empty())
        return;
    sendMouse(grid, QEvent::MouseMove, cellCentre(grid, cells.front()), Qt::NoButton, Qt::NoButton);
    sendMouse(grid, QEvent::MouseButtonPress, cellCentre(grid, cells.front()), Qt::LeftButton,
              Qt::LeftButton);
    QPoint at = cells.front();
    for (std::size_t i = 1; i < cells.size(); ++i) {
        for (const QPoint& step : stepsBetween(at, cells[i]))
            sendMouse(grid, QEvent::MouseMove, cellCentre(grid, step), Qt::NoButton,
                      Qt::LeftButton);
        at = cells[i];
    }
    sendMouse(grid, QEvent::MouseButtonRelease, cellCentre(grid, at), Qt::LeftButton, Qt::NoButton);
    settle();
}

void pointAtCell(tbapp::DrawGrid& grid, const QPoint& cell) {
    sendMouse(grid, QEvent::MouseMove, cellCentre(grid, cell), Qt::NoButton, Qt::NoButton);
}

void pressKey(QWidget& widget, int key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(&widget, &release);
}

} // namespace shots

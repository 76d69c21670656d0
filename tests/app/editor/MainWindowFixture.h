#pragma once
// One test's main window (EditorWindowFixture.h) with an empty palette list, and helpers to
// drive the map view as a user does.

#include "EditorWindowFixture.h"

#include "app/shell/DrawGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QtTest>

#include <memory>
#include <string>

namespace tbtest {

struct MainWindowFixture : EditorWindowFixture {
    MainWindowFixture() : EditorWindowFixture("") {}

    tbapp::MapEditorWindow& open() { return create(); }
    // Creates, shows and loads the map and the art (the Load job ended).
    tbapp::MapEditorWindow& openLoaded() {
        open();
        load();
        return *form;
    }
    tbapp::DrawGrid& grid() { return *tbtest::ui<tbapp::DrawGrid>(*form, "MainDrawGrid"); }

    void jump(int x, int y) {
        tbtest::ui<QLineEdit>(*form, "XJumpEdit")->setText(QString::number(x));
        tbtest::ui<QLineEdit>(*form, "YJumpEdit")->setText(QString::number(y));
        tbtest::ui<QPushButton>(*form, "CoordGoBtn")->click();
    }

    // A key press on the map view, as the keyboard delivers it.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&grid(), key, modifiers);
    }

    // The pointer moved to a viewport point of the map view, no button held.
    void movePointer(const QPoint& pos) {
        QMouseEvent move(QEvent::MouseMove, QPointF(pos),
                         grid().viewport()->mapToGlobal(QPointF(pos)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(grid().viewport(), &move);
    }

    // A left click on the middle of a visible cell.
    void clickCell(int col, int row) {
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid().cellRect(col, row).center());
    }

    QString status() const { return tbtest::statusText(*form, 0); }
};

} // namespace tbtest

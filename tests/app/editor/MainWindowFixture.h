#pragma once
// One test's main window (EditorWindowFixture.h) with an empty palette list, and helpers to
// drive the map view as a user does.

#include "EditorWindowFixture.h"

#include "patch/UiPrompts.h"
#include "shell/DrawGrid.h"

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

// Prompts that answer the open dialogs from a queue and record the messages; progress
// windows are not shown. The question about unsaved changes is answered as SaveQuestions
// does.
class RecordingPrompts : public SaveQuestions {
public:
    void showMessage(QWidget*, const QString& text) override { messages << text; }
    void showError(QWidget*, const QString& text) override { errors << text; }
    QString openFileName(QWidget*, const FileDialogSpec& request) override {
        openTitles << request.title;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFileName(QWidget*, const FileDialogSpec&) override { return {}; }
    std::unique_ptr<ItemProgressWindow> startProgress(int) override {
        return std::make_unique<SilentProgress>();
    }

    QStringList messages, errors, openTitles, openAnswers;

private:
    struct SilentProgress : ItemProgressWindow {
        void showItem(int, const QString&) override {}
    };
};

struct MainWindowFixture : EditorWindowFixture {
    MainWindowFixture() : EditorWindowFixture("") {}

    tbapp::MapEditorWindow& open() { return create(); }
    // Creates, shows and loads the map and the art.
    tbapp::MapEditorWindow& openLoaded() {
        open();
        tbtest::ui<QPushButton>(*form, "btnLoad")->click();
        return *form;
    }

    DrawGrid& grid() { return *tbtest::ui<DrawGrid>(*form, "MainDrawGrid"); }

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

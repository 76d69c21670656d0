#pragma once
// One test's main window against a temporary application directory, settings file,
// Ilshenar map and game directory (TestWorld.h), with messages recorded instead of shown,
// and helpers to drive the map view as a user does.

#include "TestWorld.h"

#include "editor/BHMapEditForm.h"
#include "patch/UiPrompts.h"
#include "shell/DrawGrid.h"
#include "shell/ErrorReport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace tbtest {

inline QString qpath(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

// Prompts that answer the open dialogs from a queue and record the messages; progress
// windows are not shown.
class RecordingPrompts : public UiPrompts {
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

struct MainWindowFixture {
    TempDir dir;
    std::filesystem::path appDir = dir / "app";
    std::filesystem::path mapPath = dir / "maps" / "map2.mul";
    std::filesystem::path gameDir = dir / "game";
    std::filesystem::path iniPath = dir / "settings.ini";
    std::mt19937 random;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<TBHMapEditForm> form;
    QStringList messages;
    tbapp::MessageSink previousSink;

    MainWindowFixture() {
        std::filesystem::create_directories(appDir / "textures");
        writeBytes(appDir / "textures" / "tileids.lst", {}); // the palette list read at creation
        std::filesystem::create_directories(mapPath.parent_path());
        writeGameDir(gameDir);
        writeBytes(mapPath, makeTestMap().bytes());
        std::ofstream ini(iniPath, std::ios::binary);
        ini << "[General]\nMAPx.mul=" << mapPath.string() << "\nUOPath=" << gameDir.string()
            << "\n";
        previousSink = tbapp::setMessageSink(
            [this](QWidget*, tbapp::MessageKind, const QString& text) { messages << text; });
    }
    ~MainWindowFixture() {
        form.reset();
        tbapp::setMessageSink(previousSink);
    }

    // Creates and shows the window (the first-show steps identify the 2304 x 1600 map).
    TBHMapEditForm& open() {
        settings = std::make_unique<QSettings>(qpath(iniPath), QSettings::IniFormat);
        form = std::make_unique<TBHMapEditForm>(*settings, qpath(appDir) + "/", random);
        form->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return *form;
    }
    // Creates, shows and loads the map and the art.
    TBHMapEditForm& openLoaded() {
        open();
        form->btnLoad->click();
        return *form;
    }

    DrawGrid& grid() { return *form->MainDrawGrid; }

    void jump(int x, int y) {
        form->XJumpEdit->setText(QString::number(x));
        form->YJumpEdit->setText(QString::number(y));
        form->CoordGoBtn->click();
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

    QString status() const { return form->statusPanelText(0); }
};

} // namespace tbtest

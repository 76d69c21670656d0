// The windows made at start-up: their order and links, and a missing default texture list
// reported once, by the main window, not again by an options dialog nobody opened.

#include "EditorWindowFixture.h"

#include "app/editor/StartupWindows.h"

#include "WindowControls.h"

#include <QAction>

#include <QtTest>

using namespace tbtest;

class StartupWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void aMissingTextureListIsReportedOnce() {
        EditorWindowFixture f("");
        std::filesystem::remove(f.appDir / "textures" / "tileids.lst");
        QSettings settings(qpath(f.iniPath), QSettings::IniFormat);
        tbapp::StartupWindows windows(settings, qpath(f.appDir) + "/", f.random, f.questions);
        QCOMPARE(f.messages.size(), 1);
        QVERIFY2(f.messages[0].contains("tileids.lst"), qPrintable(f.messages[0]));
        QVERIFY(!windows.mainForm.findChild<QDialog*>("TBHFOptions"));
        // The patch editor and the diff window belong to the main window, hidden until
        // their menu entries show them.
        QCOMPARE(windows.patchEditor.parentWidget(), &windows.mainForm);
        QCOMPARE(windows.diffWindow.parentWidget(), &windows.mainForm);
        QVERIFY(!windows.patchEditor.isVisible());
        windows.mainForm.show();
        tbtest::ui<QAction>(windows.mainForm, "PatchEditor1")->trigger();
        QVERIFY(windows.patchEditor.isVisible());
    }
};

QTEST_MAIN(StartupWindowsTest)
#include "test_startup_windows.moc"

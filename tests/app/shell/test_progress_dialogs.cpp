// The two progress windows: what a long run shows, and that the user cannot stop it by
// closing the stage window.
#include "app/shell/ItemProgressDialog.h"
#include "app/shell/StageProgressDialog.h"

#include "testsupport/FindControl.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class ProgressDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void itemProgressFollowsTheCaller() {
        tbapp::ItemProgressDialog form;
        QCOMPARE(form.windowTitle(), QString("Progress ..."));
        QCOMPARE(tbtest::control<QLabel>(form, "PBarText")->text(), QString("Patching ..."));
        form.show();
        form.startItems(3);
        QCOMPARE(tbtest::control<QProgressBar>(form, "PBar")->maximum(), 2);
        form.showItem(1, "Loading ... 2/3");
        QCOMPARE(tbtest::control<QProgressBar>(form, "PBar")->value(), 1);
        QCOMPARE(tbtest::control<QLabel>(form, "PBarText")->text(), QString("Loading ... 2/3"));
    }

    void aSingleItemRunKeepsTheBarAtZeroAndShowsTheText() {
        tbapp::ItemProgressDialog form;
        form.startItems(1);
        QCOMPARE(tbtest::control<QProgressBar>(form, "PBar")->maximum(), 0);
        form.showItem(0, "Saving ... 1/1");
        QCOMPARE(tbtest::control<QProgressBar>(form, "PBar")->value(), 0);
        QCOMPARE(tbtest::control<QLabel>(form, "PBarText")->text(), QString("Saving ... 1/1"));
    }

    void stagesResetTheBarAndShowingAgainResetsTheLabel() {
        tbapp::StageProgressDialog form;
        QCOMPARE(form.windowTitle(), QString("Tolvane Brimholt"));
        form.show();
        form.setStage("Generating patch (Statics)");
        form.setProgress(40);
        QCOMPARE(tbtest::control<QProgressBar>(form, "ProgressBar")->value(), 40);
        form.setStage("Writing patch");
        QCOMPARE(tbtest::control<QProgressBar>(form, "ProgressBar")->value(), 0);
        form.setProgress(70);
        form.hide();
        form.show();
        QCOMPARE(tbtest::control<QLabel>(form, "ProgressLabel")->text(),
                 QString("Working, please wait..."));
        QCOMPARE(tbtest::control<QProgressBar>(form, "ProgressBar")->value(), 0);
    }

    void theStageWindowCannotBeClosedByTheUser() {
        tbapp::StageProgressDialog form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.close();
        QVERIFY(form.isVisible());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        form.hide();
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(ProgressDialogsTest)
#include "test_progress_dialogs.moc"

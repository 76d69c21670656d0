// The two progress windows: what a long run shows, that the user cannot stop it by
// closing the stage window, and that Cancel asks the run to stop.
#include "app/shell/ItemProgressDialog.h"
#include "app/shell/StageProgressDialog.h"
#include "app/shell/StandardPrompts.h"

#include "testsupport/FindControl.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
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

    // The run reports from its own thread; the window shows the latest report, and its
    // Cancel (or Escape) turns the run's stop on while the window stays until the run ends.
    void cancelInEitherWindowAsksTheRunToStop() {
        const std::unique_ptr<tbapp::ItemProgress> progress =
            tbapp::StandardPrompts().startProgress(3);
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "TProgressForm" && w->isVisible())
                window = w;
        QVERIFY(window);
        QThread* reporter = QThread::create([&] { progress->report("Loading ... 1/2", 1, 2); });
        reporter->start();
        QVERIFY(reporter->wait(10000));
        delete reporter;
        QTRY_COMPARE(tbtest::control<QLabel>(*window, "PBarText")->text(),
                     QString("Loading ... 1/2"));
        QCOMPARE(tbtest::control<QProgressBar>(*window, "PBar")->value(), 1);
        QVERIFY(!progress->stopRequested());
        tbtest::control<QPushButton>(*window, "btnCancel")->click();
        QVERIFY(progress->stopRequested());
        QVERIFY(window->isVisible());

        tbapp::ItemProgressDialog items;
        QSignalSpy itemsCancelled(&items, &tbapp::ItemProgressDialog::cancelClicked);
        items.show();
        QTest::keyClick(&items, Qt::Key_Escape);
        QCOMPARE(itemsCancelled.size(), 1);
        QVERIFY(items.isVisible());

        tbapp::StageProgressDialog stages;
        QSignalSpy stagesCancelled(&stages, &tbapp::StageProgressDialog::cancelClicked);
        stages.show();
        tbtest::control<QPushButton>(stages, "btnCancel")->click();
        QCOMPARE(stagesCancelled.size(), 1);
        QVERIFY(stages.isVisible());
    }
};

QTEST_MAIN(ProgressDialogsTest)
#include "test_progress_dialogs.moc"

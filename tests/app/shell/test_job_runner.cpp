// The job runner: the work runs beside the UI thread and its outcome comes back to it, the
// progress window closes before the handler runs, a second job is refused while one runs,
// and a stop and a failure end the work through their own handlers. The task centre shows
// every job with its Cancel and waits for them all to stop without blocking.
#include "app/shell/JobRunner.h"
#include "app/shell/TaskCenter.h"
#include "app/shell/TaskStatusWidget.h"

#include "testsupport/FindControl.h"
#include "testsupport/RecordingPrompts.h"
#include "testsupport/WaitForJobs.h"

#include "shell/Progress.h"

#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QThread>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <stdexcept>
#include <typeinfo>

class JobRunnerTest : public QObject {
    Q_OBJECT
private slots:
    void theWorkRunsBesideAndItsOutcomeComesBackToTheUiThread() {
        tbapp::JobRunner jobs;
        QSignalSpy busy(&jobs, &tbapp::JobRunner::busyChanged);
        tbtest::RecordingPrompts prompts;
        QThread* workThread = nullptr;
        QThread* handlerThread = nullptr;
        bool windowOpenInHandler = true;
        tbapp::Job job;
        job.caption = "Counting";
        job.window = prompts.startProgress(3);
        job.work = [&](tb::Progress& progress) {
            workThread = QThread::currentThread();
            for (int i = 0; i < 3; ++i)
                progress.report("Counting ... " + std::to_string(i), i, 2);
        };
        job.succeeded = [&] {
            handlerThread = QThread::currentThread();
            windowOpenInHandler = prompts.progressRuns[0]->open;
        };
        QVERIFY(jobs.start(std::move(job)));
        QVERIFY(jobs.busy());
        QCOMPARE(jobs.caption(), QString("Counting"));
        QVERIFY(!jobs.start(tbapp::Job{})); // one at a time
        TB_WAIT_FOR_JOBS();
        QVERIFY(!jobs.busy());
        QVERIFY(workThread != nullptr && workThread != QThread::currentThread());
        QCOMPARE(handlerThread, QThread::currentThread());
        QVERIFY(!windowOpenInHandler);
        QCOMPARE(prompts.progressRuns[0]->indices, (QList<int>{0, 1, 2}));
        QCOMPARE(jobs.latest().caption, QString("Counting ... 2"));
        QCOMPARE(busy.size(), 2);
    }

    // The runner alone tells a stop from a failure: a stop ends through `stopped` with its
    // message, anything thrown otherwise through `failed`. Asking to stop returns at once;
    // who waits for the runner to be idle runs after the handlers and may start the next job.
    void aStopEndsThroughStoppedAndAFailureThroughFailed() {
        tbapp::JobRunner jobs;
        std::atomic<bool> started{false};
        QStringList outcomes;
        auto waitingJob = [&] {
            tbapp::Job job;
            job.caption = "Waiting";
            job.work = [&](tb::Progress& progress) {
                started = true;
                for (;;) {
                    tb::reportStep(progress, "Waiting", 0, 1, "Waiting was stopped.");
                    QThread::msleep(1);
                }
            };
            job.succeeded = [&] { outcomes << "succeeded"; };
            job.stopped = [&](const QString& message) { outcomes << "stopped: " + message; };
            job.failed = [&](const std::exception& error) {
                outcomes << QString("failed: ") + error.what();
            };
            return job;
        };
        QVERIFY(jobs.start(waitingJob()));
        QTRY_VERIFY(started);
        QVERIFY(!jobs.stopping());
        jobs.whenIdle(this, [&] {
            outcomes << "idle";
            tbapp::Job broken;
            broken.work = [](tb::Progress&) { throw std::runtime_error("broken"); };
            broken.stopped = [&](const QString&) { outcomes << "broken stopped"; };
            broken.failed = [&](const std::exception& error) {
                outcomes << QString("failed: ") + error.what();
            };
            QVERIFY(jobs.start(std::move(broken)));
        });
        jobs.whenIdle(this, [&] { outcomes << "idle again"; });
        jobs.stop();
        QVERIFY(jobs.stopping());
        QVERIFY(jobs.busy()); // nothing waited
        TB_WAIT_FOR_JOBS();
        QCOMPARE(outcomes, (QStringList{"stopped: Waiting was stopped.", "idle", "failed: broken",
                                        "idle again"}));

        // Unset handlers let the outcome pass; idle now, whenIdle runs at once.
        tbapp::Job quiet = waitingJob();
        quiet.stopped = nullptr;
        outcomes.clear();
        jobs.start(std::move(quiet));
        jobs.stop();
        TB_WAIT_FOR_JOBS();
        jobs.whenIdle(this, [&] { outcomes << "idle"; });
        QCOMPARE(outcomes, QStringList{"idle"});
    }

    // Jobs of the centre's own runners and of a window's runner show newest first, the
    // newest with its progress, the others behind "+n" whose menu cancels each; a runner of
    // another centre does not show. stopAll asks them all and goes on once the last ended.
    void theTaskCentreShowsEveryJobAndStopsThemAll() {
        tbapp::TaskCenter tasks;
        tbapp::TaskCenter otherWindow;
        tbapp::JobRunner dialogJobs;
        QWidget bar;
        auto* status = new tbapp::TaskStatusWidget(tasks, &bar);
        bar.show();
        QVERIFY(!status->isVisible());
        auto endless = [](const QString& caption) {
            tbapp::Job job;
            job.caption = caption;
            job.work = [](tb::Progress& progress) {
                for (;;) {
                    tb::reportStep(progress, "Step", 1, 4, "Stopped.");
                    QThread::msleep(1);
                }
            };
            return job;
        };
        QVERIFY(dialogJobs.start(endless("Copying map cells")));
        QVERIFY(tasks.documentJobs().start(endless("Loading map2.mul")));
        QVERIFY(otherWindow.documentJobs().start(endless("Saving map0.mul")));
        QCOMPARE(tasks.running(), (QList<tbapp::JobRunner*>{&tasks.documentJobs(), &dialogJobs}));
        QCOMPARE(otherWindow.running(),
                 (QList<tbapp::JobRunner*>{&otherWindow.documentJobs(), &dialogJobs}));

        QTRY_VERIFY(status->isVisible());
        QTRY_COMPARE(tbtest::control<QProgressBar>(bar, "TaskProgress")->value(), 250);
        auto* others = tbtest::control<QToolButton>(bar, "TaskOthers");
        QCOMPARE(others->text(), QString("+1"));
        emit others->menu()->aboutToShow();
        QAction* cancelOther = others->menu()->findChild<QAction*>("TaskCancel1");
        QVERIFY(cancelOther);
        QCOMPARE(cancelOther->text(), QString("Cancel Copying map cells"));
        cancelOther->trigger();
        QVERIFY(dialogJobs.stopping());
        QVERIFY(!tasks.documentJobs().stopping());

        bool ended = false;
        QVERIFY(!tasks.stopAll(this, [&] { ended = !dialogJobs.busy(); }));
        QVERIFY(tasks.documentJobs().stopping());
        QVERIFY(!otherWindow.documentJobs().stopping());
        QTRY_VERIFY(ended);
        QVERIFY(!tasks.documentJobs().busy());
        QTRY_VERIFY(!status->isVisible());
        QVERIFY(otherWindow.documentJobs().busy());
        QVERIFY(tasks.stopAll(this, [] { QFAIL("called although nothing ran"); }));
        otherWindow.documentJobs().stop();
        TB_WAIT_FOR_JOBS();
    }
};

QTEST_MAIN(JobRunnerTest)
#include "test_job_runner.moc"

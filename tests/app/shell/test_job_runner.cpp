// The job runner: the work runs beside the UI thread and its outcome comes back to it, the
// progress window closes before the handler runs, a second job is refused while one runs,
// and a stop and a failure end the work through their own handlers.
#include "app/shell/JobRunner.h"

#include "testsupport/RecordingPrompts.h"
#include "testsupport/WaitForJobs.h"

#include "shell/Progress.h"

#include <QSignalSpy>
#include <QThread>
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

    // The usual ending: a stop said as a message, a failure as the error report, then the
    // caller's own step.
    void reportStopOrFailureSaysEachItsOwnWay() {
        tbapp::JobRunner jobs;
        tbtest::RecordingPrompts prompts;
        int ends = 0;
        for (const bool stop : {true, false}) {
            tbapp::Job job;
            job.work = [stop](tb::Progress&) {
                if (stop)
                    throw tb::OperationStopped("Nothing was written.");
                throw std::runtime_error("disk full");
            };
            job.reportStopOrFailure(prompts, nullptr, [&] { ++ends; });
            jobs.start(std::move(job));
            TB_WAIT_FOR_JOBS();
        }
        QCOMPARE(prompts.messages, QStringList{"Nothing was written."});
        QCOMPARE(prompts.errors, QStringList{"disk full"});
        QCOMPARE(ends, 2);
    }
};

QTEST_MAIN(JobRunnerTest)
#include "test_job_runner.moc"

// The job runner: the work runs beside the UI thread and its outcome comes back to it, the
// progress window closes before the handler runs, a second job is refused while one runs,
// and a stop or a failure ends the work through its failure handler.
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

    void aStopOrAFailureEndsTheWorkThroughItsFailureHandler() {
        tbapp::JobRunner jobs;
        std::atomic<bool> started{false};
        QString failure;
        bool stopped = false;
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
            job.succeeded = [&] { failure = "finished"; };
            job.failed = [&](const std::exception& error) {
                failure = error.what();
                stopped = dynamic_cast<const tb::OperationStopped*>(&error) != nullptr;
            };
            return job;
        };
        jobs.start(waitingJob());
        QTRY_VERIFY(started);
        jobs.stop();
        TB_WAIT_FOR_JOBS();
        QCOMPARE(failure, QString("Waiting was stopped."));
        QVERIFY(stopped);

        // Stopped and waited for here: its handler has run when the call returns.
        failure.clear();
        jobs.start(waitingJob());
        jobs.stopAndWait();
        QVERIFY(!jobs.busy());
        QCOMPARE(failure, QString("Waiting was stopped."));

        tbapp::Job broken;
        broken.work = [](tb::Progress&) { throw std::runtime_error("broken"); };
        broken.failed = [&](const std::exception& error) {
            failure = error.what();
            stopped = dynamic_cast<const tb::OperationStopped*>(&error) != nullptr;
        };
        jobs.start(std::move(broken));
        TB_WAIT_FOR_JOBS();
        QCOMPARE(failure, QString("broken"));
        QVERIFY(!stopped);
    }
};

QTEST_MAIN(JobRunnerTest)
#include "test_job_runner.moc"

#pragma once
// Long operations run as jobs beside the UI thread and hand their outcome back through the
// event loop: a test that started one lets the loop run until every job has ended and its
// handler has run, rather than sleeping.

#include "app/shell/JobRunner.h"

#include <QtTest>

namespace tbtest {

// True when every job ended within `timeoutMs`.
inline bool jobsEnded(int timeoutMs = 60000) {
    return QTest::qWaitFor([] { return !tbapp::JobRunner::anyBusy(); }, timeoutMs);
}

// The same where a test cannot fail at once (helpers returning a value): a job still
// running is reported, and the test's own checks fail on what it did not do.
inline void waitForJobs() {
    if (!jobsEnded())
        qWarning("a job did not end within a minute");
}

} // namespace tbtest

// Waits for the jobs of the test's windows; a job still running fails the test.
#define TB_WAIT_FOR_JOBS() QVERIFY2(tbtest::jobsEnded(), "a job did not end")

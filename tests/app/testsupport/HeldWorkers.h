#pragma once
// Keeps every thread the jobs run on (tbapp::jobThreads) busy until it goes: a job started
// meanwhile waits, so a test can press its Cancel before its work has done anything, on a
// machine of any speed.

#include "app/shell/JobRunner.h"

#include <QSemaphore>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <QFuture>
#include <QList>

namespace tbtest {

class HeldWorkers {
public:
    HeldWorkers() : m_count(tbapp::jobThreads()->maxThreadCount()) {
        for (int i = 0; i < m_count; ++i)
            m_tasks << QtConcurrent::run(tbapp::jobThreads(), [this] {
                m_started.release();
                m_release.acquire();
            });
        m_started.acquire(m_count);
    }
    ~HeldWorkers() {
        m_release.release(m_count);
        for (QFuture<void>& task : m_tasks)
            task.waitForFinished();
    }
    HeldWorkers(const HeldWorkers&) = delete;
    HeldWorkers& operator=(const HeldWorkers&) = delete;

private:
    int m_count;
    QSemaphore m_started;
    QSemaphore m_release;
    QList<QFuture<void>> m_tasks;
};

} // namespace tbtest

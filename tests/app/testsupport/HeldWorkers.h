#pragma once
// Keeps every thread the jobs run on (tbapp::jobThreads) busy until it goes: a job started
// meanwhile waits, so a test presses its Cancel before its work has begun.

#include "app/shell/JobRunner.h"

#include <QFuture>
#include <QList>
#include <QSemaphore>
#include <QtConcurrent/QtConcurrentRun>

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

private:
    int m_count;
    QSemaphore m_started, m_release;
    QList<QFuture<void>> m_tasks;
};

} // namespace tbtest

#pragma once
// The one place that knows every job of the program, as an IDE's progress manager does: it
// owns the main window's job runners, and every other runner (a tool window's own) makes
// itself known to it when its job starts. The status bar shows its jobs, each with a
// Cancel (TaskStatusWidget); closing the main window asks them all to stop and closes once
// they have ended, so the UI thread never waits for a job.
//
// A runner made by a task centre is shown by that centre alone; any other runner by every
// centre (the program has one main window; tests may make two).

#include "app/shell/JobRunner.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace tbapp {

class TaskCenter : public QObject {
    Q_OBJECT
public:
    explicit TaskCenter(QObject* parent = nullptr);
    // Its runners wait for their jobs, as a last resort (JobRunner's destructor).
    ~TaskCenter() override;
    TaskCenter(const TaskCenter&) = delete;
    TaskCenter& operator=(const TaskCenter&) = delete;

    // The main window's runners: the jobs that change the document (one at a time; a
    // second is refused by name) and those that write pictures of it.
    JobRunner& documentJobs() { return m_documentJobs; }
    JobRunner& exportJobs() { return m_exportJobs; }

    // The runners of the jobs this centre shows that run now, newest first.
    QList<JobRunner*> running() const;
    // The newest job's JobRunner::statusText(); empty when none runs.
    QString statusText() const;
    // Asks every job it shows to stop, and any that starts before they have all ended.
    // True when none runs. Otherwise false, and `then` runs once the last has ended and
    // its handlers have run (in place of a `then` given before; dropped when `context`
    // goes first).
    bool stopAll(QObject* context, std::function<void()> then);

signals:
    // A job it shows started, reported, was asked to stop or ended.
    void changed();

private:
    friend class JobRunner;
    // Told by the runners, on the UI thread.
    static void jobStarted(JobRunner* runner);
    static void jobChanged(JobRunner* runner);
    static void jobEnded(JobRunner* runner);

    bool shows(const JobRunner* runner) const;
    void settle();

    QPointer<QObject> m_stopContext;
    std::function<void()> m_whenStopped; // set while stopAll waits
    // Last, so that they go first: their jobs may read what the centre's owner holds.
    JobRunner m_documentJobs;
    JobRunner m_exportJobs;
};

} // namespace tbapp

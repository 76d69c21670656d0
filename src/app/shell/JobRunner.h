#pragma once
// Runs a window's long operations off the UI thread, one at a time. A job gets its inputs
// by value, does its work on a worker thread reporting through tb::Progress, may be asked to
// stop, and hands its outcome back to the UI thread, where its handlers apply it. Nothing in
// a job's work touches a widget or the document; a job that reads the document does so
// while its window lets no edit reach it. Every runner's jobs are shown, and can be
// cancelled, in the main window's task centre (TaskCenter.h).

#include "app/shell/Prompts.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace tb {
class Progress;
}

namespace tbapp {
class TaskCenter;

// The latest report of a job as the UI thread shows it.
struct JobReport {
    QString caption;
    qint64 done = 0;
    qint64 total = 0;
};

struct Job {
    // What runs, as the status bar and a refusal name it ("Loading map2.mul").
    QString caption;
    // Runs on a worker thread.
    std::function<void(tb::Progress& progress)> work;
    // One of these runs on the UI thread once `work` has ended: `succeeded` when it
    // returned; `stopped` when it stopped because it was asked to (it threw
    // tb::OperationStopped), with the stop's message, which says what was left as it was;
    // `failed` when it threw anything else. An unset handler lets its outcome pass quietly.
    // They must not throw.
    std::function<void()> succeeded;
    std::function<void(const QString& message)> stopped;
    std::function<void(const std::exception& error)> failed;
    // Shows the latest report on the UI thread, a few dozen times a second at most, and
    // once more when the work has ended, before the handlers run. Optional.
    std::function<void(const JobReport& report)> shown;
    // A progress window of its own (Prompts::startProgress): it hears every report on the
    // worker thread and its Cancel stops the work. It closes when the work has ended,
    // before the handlers run. Optional.
    std::unique_ptr<ItemProgress> window;

    // The usual way to end: a stop is said as a message, a failure as the error report,
    // both under `parent`; `then`, when given, runs after either.
    void reportStopOrFailure(Prompts& prompts, QWidget* parent, std::function<void()> then = {});
    // A tool window's way: `first` runs before the message (the window stops looking busy),
    // and an error that `isRefusal` accepts (what the user asked for, refused) is said as a
    // message rather than reported as a failure.
    void reportStopOrRefusal(Prompts& prompts, QWidget* parent, std::function<void()> first,
                             std::function<bool(const std::exception&)> isRefusal);
};

class JobRunner : public QObject {
    Q_OBJECT
public:
    explicit JobRunner(QObject* parent = nullptr);
    // Stops a running job and waits for it, as a last resort: its handlers do not run.
    // Windows ask their jobs to stop and go once they have ended instead.
    ~JobRunner() override;
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Starts `job` unless one runs already: false, and nothing started, then.
    bool start(Job job);
    bool busy() const { return m_running != nullptr; }
    // The running job's caption; empty when none runs.
    QString caption() const;
    // The running job's latest report as last shown (empty before its first).
    const JobReport& latest() const { return m_latest; }
    // "<caption> ... n%" of the running job, "<caption> ..." before it reported; empty
    // when none runs. For a status bar.
    QString statusText() const;
    // Asks the running job to stop; it ends through `stopped` (or through `succeeded`, when
    // its work was done before it looked). Returns at once.
    void stop();
    // True while the running job has been asked to stop (here or in its own window).
    bool stopping() const;
    // Runs `then` once no job runs: at once when none does, otherwise after the running
    // job's handlers (and those of any job they started) have run. Dropped when `context`
    // goes first.
    void whenIdle(QObject* context, std::function<void()> then);

    // "<caption> is still running; try again when it has ended.": a refused second job.
    static QString refusal(const QString& caption);
    // True while a job of any runner runs (tests wait for it to become false).
    static bool anyBusy();

signals:
    // A job started, or ended; its handler runs after the signal of its end.
    void busyChanged(bool busy);
    // The running job reported since the last look (latest() has its report).
    void progressed();

private:
    friend class TaskCenter;
    struct Running;
    struct Waiting {
        QPointer<QObject> context;
        std::function<void()> then;
    };
    void finish();
    void refresh();
    void runWaiting();

    std::unique_ptr<Running> m_running;
    JobReport m_latest;
    QTimer m_refresh;
    std::vector<Waiting> m_waiting;
    TaskCenter* m_centre = nullptr; // the task centre that owns this runner, if any
};

// The threads the jobs' work runs on. Not Qt's global pool: Qt's own painting hands parts
// of a large picture to that pool and waits for them on the UI thread, which would then
// wait for whatever long work held its threads.
QThreadPool* jobThreads();

// Lets `value` go on a worker thread: giving a large buffer back to the system (the map a
// Load replaced, its art, its statics) takes milliseconds the UI thread need not wait.
template <typename T> void releaseBeside(T&& value) {
    auto held = std::make_shared<std::decay_t<T>>(std::forward<T>(value));
    // Nobody waits for the task; it ends by itself.
    [[maybe_unused]] const auto task =
        QtConcurrent::run(jobThreads(), [held = std::move(held)]() mutable { held.reset(); });
}

} // namespace tbapp

#include "app/shell/JobRunner.h"

#include "app/shell/TaskCenter.h"

#include "shell/Progress.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <QThread>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>

namespace tbapp {
namespace {

// How often the UI thread looks at a job's latest report: often enough to look smooth,
// rarely enough that showing costs nothing next to the work.
constexpr int kRefreshMs = 40;

// Runners with a job under way (UI thread only).
int g_busyRunners = 0;

// The progress a job's work reports to. The worker thread writes the latest report under a
// lock the UI thread takes only when it refreshes; a job's own window hears every report.
class JobProgress : public tb::Progress {
public:
    explicit JobProgress(ItemProgress* window) : m_window(window) {}

    void report(std::string_view caption, std::int64_t done, std::int64_t total) override {
        {
            const std::lock_guard lock(m_mutex);
            m_caption.assign(caption);
            m_done = done;
            m_total = total;
            m_fresh = true;
        }
        if (m_window)
            m_window->report(caption, done, total);
    }
    bool stopRequested() const override {
        return m_stop.load(std::memory_order_relaxed) || (m_window && m_window->stopRequested());
    }
    void requestStop() { m_stop.store(true, std::memory_order_relaxed); }

    // The report made since the last call, if any.
    std::optional<JobReport> takeFresh() {
        const std::lock_guard lock(m_mutex);
        if (!m_fresh)
            return std::nullopt;
        m_fresh = false;
        return JobReport{QString::fromStdString(m_caption), m_done, m_total};
    }

private:
    ItemProgress* m_window;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::string m_caption;
    std::int64_t m_done = 0;
    std::int64_t m_total = 0;
    bool m_fresh = false;
};

// The one place that tells a stop from a failure.
void deliverOutcome(Job& job, const std::exception_ptr& error) {
    if (!error) {
        if (job.succeeded)
            job.succeeded();
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const tb::OperationStopped& stop) {
        if (job.stopped)
            job.stopped(QString::fromUtf8(stop.what()));
    } catch (const std::exception& failure) {
        if (job.failed)
            job.failed(failure);
    } catch (...) {
        if (job.failed)
            job.failed(std::runtime_error("The work failed for an unknown reason."));
    }
}

} // namespace

QThreadPool* jobThreads() {
    // No more threads than cores (as Qt's own pool), so that jobs running together leave
    // the UI thread its share; two at least, so that one long job holds up no other.
    struct Threads : QThreadPool {
        Threads() { setMaxThreadCount(std::max(2, QThread::idealThreadCount())); }
    };
    static Threads pool;
    return &pool;
}

void Job::reportStopOrFailure(Prompts& prompts, QWidget* parent, std::function<void()> then) {
    stopped = [&prompts, parent, then](const QString& message) {
        prompts.showMessage(parent, message);
        if (then)
            then();
    };
    failed = [&prompts, parent, then](const std::exception& error) {
        prompts.showFailure(parent, error);
        if (then)
            then();
    };
}

void Job::reportStopOrRefusal(Prompts& prompts, QWidget* parent, std::function<void()> first,
                              std::function<bool(const std::exception&)> isRefusal) {
    stopped = [&prompts, parent, first](const QString& message) {
        first();
        prompts.showMessage(parent, message);
    };
    failed = [&prompts, parent, first, isRefusal](const std::exception& error) {
        first();
        if (isRefusal(error))
            prompts.showMessage(parent, QString::fromUtf8(error.what()));
        else
            prompts.showFailure(parent, error);
    };
}

struct JobRunner::Running {
    Job job;
    std::shared_ptr<JobProgress> progress;
    std::unique_ptr<QFutureWatcher<std::exception_ptr>> watcher;
};

JobRunner::JobRunner(QObject* parent) : QObject(parent) {
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &JobRunner::refresh);
}

JobRunner::~JobRunner() {
    if (!m_running)
        return;
    // The work may read what its creator owns: it ends before they go.
    m_running->watcher->disconnect(this);
    m_running->progress->requestStop();
    m_running->watcher->waitForFinished();
    m_running.reset();
    --g_busyRunners;
    TaskCenter::jobEnded(this);
}

bool JobRunner::start(Job job) {
    if (m_running)
        return false;
    auto running = std::make_unique<Running>();
    running->progress = std::make_shared<JobProgress>(job.window.get());
    running->job = std::move(job);
    running->watcher = std::make_unique<QFutureWatcher<std::exception_ptr>>();
    connect(running->watcher.get(), &QFutureWatcherBase::finished, this, &JobRunner::finish);
    // The work and its progress live in the task until it ends, whatever happens here.
    auto work = std::make_shared<std::function<void(tb::Progress&)>>(running->job.work);
    std::shared_ptr<JobProgress> progress = running->progress;
    QFuture<std::exception_ptr> future = QtConcurrent::run(jobThreads(), [work, progress] {
        try {
            (*work)(*progress);
        } catch (...) {
            return std::current_exception();
        }
        return std::exception_ptr();
    });
    m_running = std::move(running);
    ++g_busyRunners;
    m_running->watcher->setFuture(future);
    m_latest = JobReport{};
    m_refresh.start();
    emit busyChanged(true);
    TaskCenter::jobStarted(this);
    return true;
}

QString JobRunner::caption() const {
    return m_running ? m_running->job.caption : QString();
}

void JobRunner::stop() {
    if (m_running && !m_running->progress->stopRequested()) {
        m_running->progress->requestStop();
        TaskCenter::jobChanged(this);
    }
}

bool JobRunner::stopping() const {
    return m_running && m_running->progress->stopRequested();
}

void JobRunner::whenIdle(QObject* context, std::function<void()> then) {
    if (!m_running) {
        then();
        return;
    }
    m_waiting.push_back(Waiting{context, std::move(then)});
}

QString JobRunner::statusText() const {
    if (!m_running)
        return {};
    if (m_latest.total <= 0)
        return m_running->job.caption + " ...";
    return QString("%1 ... %2%")
        .arg(m_running->job.caption)
        .arg(m_latest.done * 100 / m_latest.total);
}

void JobRunner::refresh() {
    if (!m_running)
        return;
    const std::optional<JobReport> report = m_running->progress->takeFresh();
    if (!report)
        return;
    m_latest = *report;
    if (m_running->job.shown)
        m_running->job.shown(m_latest);
    emit progressed();
    TaskCenter::jobChanged(this);
}

// The runner is idle before the handlers run, so that a handler may start the next job.
void JobRunner::finish() {
    if (!m_running)
        return;
    m_refresh.stop();
    refresh();
    const std::unique_ptr<Running> ended = std::move(m_running);
    --g_busyRunners;
    const std::exception_ptr error = ended->watcher->result();
    // This may run inside the watcher's own signal: it goes once that has returned.
    ended->watcher->disconnect(this);
    ended->watcher.release()->deleteLater();
    ended->job.window.reset();
    // A handler may close, and so destroy, what owns this runner.
    const QPointer<JobRunner> self(this);
    emit busyChanged(false);
    deliverOutcome(ended->job, error);
    if (!self)
        return;
    runWaiting();
    if (self)
        TaskCenter::jobEnded(this);
}

// Whoever waits for the runner to be idle goes in turn; one of them may start a job, and
// the rest then wait for that one.
void JobRunner::runWaiting() {
    const QPointer<JobRunner> self(this);
    while (self && !m_running && !m_waiting.empty()) {
        const Waiting next = std::move(m_waiting.front());
        m_waiting.erase(m_waiting.begin());
        if (next.context)
            next.then();
    }
}

QString JobRunner::refusal(const QString& caption) {
    return QString("%1 is still running; try again when it has ended.").arg(caption);
}

bool JobRunner::anyBusy() {
    return g_busyRunners > 0;
}

} // namespace tbapp

#include "app/shell/JobRunner.h"

#include "shell/Progress.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

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

} // namespace

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
    --g_busyRunners;
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
    QFuture<std::exception_ptr> future = QtConcurrent::run([work, progress] {
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
    return true;
}

QString JobRunner::caption() const {
    return m_running ? m_running->job.caption : QString();
}

void JobRunner::stop() {
    if (m_running)
        m_running->progress->requestStop();
}

void JobRunner::stopAndWait() {
    if (!m_running)
        return;
    m_running->watcher->disconnect(this);
    m_running->progress->requestStop();
    m_running->watcher->waitForFinished();
    finish();
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
    emit busyChanged(false);
    if (!error) {
        if (ended->job.succeeded)
            ended->job.succeeded();
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& failure) {
        if (ended->job.failed)
            ended->job.failed(failure);
    } catch (...) {
        if (ended->job.failed)
            ended->job.failed(std::runtime_error("The work failed for an unknown reason."));
    }
}

QString JobRunner::refusal(const QString& caption) {
    return QString("%1 is still running; try again when it has ended.").arg(caption);
}

bool JobRunner::anyBusy() {
    return g_busyRunners > 0;
}

} // namespace tbapp

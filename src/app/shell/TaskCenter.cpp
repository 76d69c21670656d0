#include "app/shell/TaskCenter.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tbapp {
namespace {

// Every task centre, and the runners with a job under way in the order their jobs started
// (UI thread only).
std::vector<TaskCenter*> g_centres;
std::vector<JobRunner*> g_running;

void forget(JobRunner* runner) {
    g_running.erase(std::remove(g_running.begin(), g_running.end(), runner), g_running.end());
}

} // namespace

TaskCenter::TaskCenter(QObject* parent) : QObject(parent) {
    for (JobRunner* runner : {&m_documentJobs, &m_exportJobs})
        runner->m_centre = this;
    g_centres.push_back(this);
}

TaskCenter::~TaskCenter() {
    g_centres.erase(std::remove(g_centres.begin(), g_centres.end(), this), g_centres.end());
}

bool TaskCenter::shows(const JobRunner* runner) const {
    return runner->m_centre == nullptr || runner->m_centre == this;
}

QList<JobRunner*> TaskCenter::running() const {
    QList<JobRunner*> list;
    for (auto it = g_running.rbegin(); it != g_running.rend(); ++it)
        if (shows(*it))
            list << *it;
    return list;
}

QString TaskCenter::statusText() const {
    const QList<JobRunner*> jobs = running();
    return jobs.isEmpty() ? QString() : jobs.first()->statusText();
}

bool TaskCenter::stopAll(QObject* context, std::function<void()> then) {
    const QList<JobRunner*> jobs = running();
    if (jobs.isEmpty())
        return true;
    m_stopContext = context;
    m_whenStopped = std::move(then);
    for (JobRunner* runner : jobs)
        runner->stop();
    return false;
}

// Called once a job has ended and its handlers have run.
void TaskCenter::settle() {
    if (!m_whenStopped || !running().isEmpty())
        return;
    const std::function<void()> then = std::exchange(m_whenStopped, nullptr);
    if (m_stopContext)
        then();
}

void TaskCenter::jobStarted(JobRunner* runner) {
    forget(runner);
    g_running.push_back(runner);
    for (TaskCenter* centre : std::vector(g_centres))
        if (centre->shows(runner)) {
            // Closing: nothing new gets going.
            if (centre->m_whenStopped)
                runner->stop();
            emit centre->changed();
        }
}

void TaskCenter::jobChanged(JobRunner* runner) {
    for (TaskCenter* centre : std::vector(g_centres))
        if (centre->shows(runner))
            emit centre->changed();
}

// A runner whose waiting handlers started its next job is running again.
void TaskCenter::jobEnded(JobRunner* runner) {
    if (!runner->busy())
        forget(runner);
    const QPointer<JobRunner> alive(runner);
    for (TaskCenter* centre : std::vector(g_centres)) {
        if (!alive || !centre->shows(runner))
            continue;
        emit centre->changed();
        centre->settle();
    }
}

} // namespace tbapp

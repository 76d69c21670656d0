#pragma once
// The task centre in a status bar: while jobs run, a progress bar of the newest one with
// its Cancel, and a button naming how many others run whose menu cancels any of them.
// Hidden while nothing runs. Every control has an object name and an accessible name.

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QProgressBar;
class QToolButton;

namespace tbapp {
class JobRunner;
class TaskCenter;

class TaskStatusWidget : public QWidget {
    Q_OBJECT
public:
    // `tasks` must outlive the widget.
    explicit TaskStatusWidget(TaskCenter& tasks, QWidget* parent = nullptr);

private:
    void refresh();
    void listOthers();

    TaskCenter& m_tasks;
    QProgressBar* m_bar;         // "TaskProgress": the newest job
    QToolButton* m_cancel;       // "TaskCancel": stops the newest job
    QToolButton* m_others;       // "TaskOthers": "+n", a menu with a Cancel for each other job
    QPointer<JobRunner> m_shown; // the job the bar and its Cancel stand for
    QTimer m_refresh;
};

} // namespace tbapp

#include "app/shell/TaskStatusWidget.h"

#include "app/shell/TaskCenter.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QToolButton>

#include <initializer_list>

namespace tbapp {
namespace {

QString cancelText(const JobRunner& runner) {
    return runner.stopping() ? QString("Stopping %1 ...").arg(runner.caption())
                             : QString("Cancel %1").arg(runner.caption());
}

} // namespace

TaskStatusWidget::TaskStatusWidget(TaskCenter& tasks, QWidget* parent)
    : QWidget(parent), m_tasks(tasks) {
    setObjectName("TaskStatus");
    setAccessibleName("Running jobs");

    m_bar = new QProgressBar(this);
    m_bar->setObjectName("TaskProgress");
    m_bar->setFixedWidth(140);

    m_cancel = new QToolButton(this);
    m_cancel->setObjectName("TaskCancel");
    m_cancel->setText("Cancel");
    m_cancel->setAutoRaise(true);

    m_others = new QToolButton(this);
    m_others->setObjectName("TaskOthers");
    m_others->setPopupMode(QToolButton::InstantPopup);
    m_others->setMenu(new QMenu(m_others));
    m_others->menu()->setObjectName("TaskOthersMenu");

    // No taller than a line of the bar's text in its frame, so that the status bar keeps its
    // height (and the map its size) whether or not a job runs.
    const int lineHeight = fontMetrics().height() + 2;
    for (QWidget* control : std::initializer_list<QWidget*>{m_bar, m_cancel, m_others})
        control->setMaximumHeight(lineHeight);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel);
    layout->addWidget(m_others);

    connect(m_cancel, &QToolButton::clicked, this, [this] {
        if (m_shown)
            m_shown->stop();
    });
    connect(m_others->menu(), &QMenu::aboutToShow, this, &TaskStatusWidget::listOthers);
    // A job starts or ends inside the handlers of another, in the middle of the window's
    // changes; a progress bar repaints at once when its value changes, which would paint
    // the whole window half changed. So the widget follows once the event loop runs again.
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &TaskStatusWidget::refresh);
    connect(&m_tasks, &TaskCenter::changed, &m_refresh, qOverload<>(&QTimer::start));
    refresh();
}

void TaskStatusWidget::refresh() {
    const QList<JobRunner*> jobs = m_tasks.running();
    m_shown = jobs.isEmpty() ? nullptr : jobs.first();
    setVisible(!jobs.isEmpty());
    if (jobs.isEmpty())
        return;
    const JobRunner& newest = *jobs.first();
    const JobReport& report = newest.latest();
    // Without a total yet, the bar only says that something runs.
    if (report.total > 0) {
        m_bar->setRange(0, 1000);
        m_bar->setValue(int(report.done * 1000 / report.total));
    } else {
        m_bar->setRange(0, 0);
    }
    m_bar->setToolTip(newest.statusText());
    m_bar->setAccessibleName(newest.caption());
    m_cancel->setEnabled(!newest.stopping());
    m_cancel->setToolTip(cancelText(newest));
    m_cancel->setAccessibleName(cancelText(newest));
    const int others = int(jobs.size()) - 1;
    m_others->setVisible(others > 0);
    m_others->setText(QString("+%1").arg(others));
    const QString othersText = QString(others == 1 ? "%1 more job" : "%1 more jobs").arg(others);
    m_others->setToolTip(othersText);
    m_others->setAccessibleName(othersText);
}

// Built when opened, from the jobs running then.
void TaskStatusWidget::listOthers() {
    QMenu* menu = m_others->menu();
    menu->clear();
    const QList<JobRunner*> jobs = m_tasks.running();
    for (qsizetype i = 1; i < jobs.size(); ++i) {
        const QPointer<JobRunner> runner(jobs[i]);
        QAction* cancel = menu->addAction(cancelText(*runner));
        cancel->setObjectName(QString("TaskCancel%1").arg(i));
        cancel->setEnabled(!runner->stopping());
        connect(cancel, &QAction::triggered, this, [runner] {
            if (runner)
                runner->stop();
        });
    }
}

} // namespace tbapp

#include "app/shell/TaskStatusWidget.h"

#include "app/shell/TaskCenter.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QToolButton>

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
    m_bar->setMaximumHeight(16);

    m_cancel = new QToolButton(this);
    m_cancel->setObjectName("TaskCancel");
    m_cancel->setText("Cancel");
    m_cancel->setAutoRaise(true);

    m_others = new QToolButton(this);
    m_others->setObjectName("TaskOthers");
    m_others->setPopupMode(QToolButton::InstantPopup);
    m_others->setMenu(new QMenu(m_others));
    m_others->menu()->setObjectName("TaskOthersMenu");

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel);
    layout->addWidget(m_others);

    connect(m_cancel, &QToolButton::clicked, this, [this] {
        const QList<JobRunner*> jobs = m_tasks.running();
        if (!jobs.isEmpty())
            jobs.first()->stop();
    });
    connect(m_others->menu(), &QMenu::aboutToShow, this, &TaskStatusWidget::listOthers);
    connect(&m_tasks, &TaskCenter::changed, this, &TaskStatusWidget::refresh);
    refresh();
}

void TaskStatusWidget::refresh() {
    const QList<JobRunner*> jobs = m_tasks.running();
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

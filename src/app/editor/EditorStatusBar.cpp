#include "app/editor/EditorStatusBar.h"

#include "app/shell/TaskCenter.h"
#include "app/shell/TaskStatusWidget.h"

#include <QLabel>
#include <QResizeEvent>

namespace tbapp {

EditorStatusBar::EditorStatusBar(TaskCenter& tasks, QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar");
    setSizeGripEnabled(false);
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        // The panels never push the bar wider than the window: they take at most their
        // width and give way below it.
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panel->setMaximumWidth(250);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        addWidget(panel, 1);
        m_panels[i] = panel;
    }
    addPermanentWidget(new TaskStatusWidget(tasks, this));
    connect(&tasks, &TaskCenter::changed, this, [this, &tasks] { showJob(tasks.statusText()); });
}

void EditorStatusBar::showTexts(const QString& position, const QString& modes) {
    m_panels[0]->setText(position);
    m_modes = modes;
    showModes();
}

void EditorStatusBar::showJob(const QString& job) {
    m_job = job;
    showModes();
}

void EditorStatusBar::showModes() {
    m_panels[1]->setText(m_job.isEmpty() ? m_modes : m_job);
}

void EditorStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    for (QLabel* panel : m_panels)
        panel->setMaximumWidth(width() / 2);
}

} // namespace tbapp

#pragma once
// The status bar of the main window: two panels, the cell under the pointer and what a
// click on the map would do, each half the bar wide. While a job runs, the second panel
// says what runs instead, and the task centre's progress bar with its Cancel stands at
// the right (TaskStatusWidget).

#include <QStatusBar>

#include <array>

class QLabel;

namespace tbapp {
class TaskCenter;

class EditorStatusBar : public QStatusBar {
    Q_OBJECT
public:
    // `tasks` must outlive the bar.
    EditorStatusBar(TaskCenter& tasks, QWidget* parent);
    void showTexts(const QString& position, const QString& modes);
    // What runs ("Loading map2.mul ... 40%"), or an empty text when nothing does.
    void showJob(const QString& job);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showModes();

    std::array<QLabel*, 2> m_panels{};
    QString m_modes;
    QString m_job;
};

} // namespace tbapp

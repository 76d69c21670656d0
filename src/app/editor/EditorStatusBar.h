#pragma once
// The status bar of the main window: two panels, the cell under the pointer and what a
// click on the map would do, each half the bar wide.

#include <QStatusBar>

#include <array>

class QLabel;

namespace tbapp {

class EditorStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit EditorStatusBar(QWidget* parent);
    void showTexts(const QString& position, const QString& modes);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<QLabel*, 2> m_panels{};
};

} // namespace tbapp

#pragma once
// A row of controls (a tool bar, a panel of fields) that keeps its height and scrolls
// sideways when the window is narrower than the row, instead of holding the window wide: a
// dock opened beside the map then takes its room from the map, not from the screen.

#include <QScrollArea>

namespace tbapp {

class ScrollableBar : public QScrollArea {
    Q_OBJECT
public:
    // Takes `row` as its widget.
    explicit ScrollableBar(QWidget* row, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The row's height, and the scroll bar's under it while the row does not fit.
    void fitHeight();
};

} // namespace tbapp

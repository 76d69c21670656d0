#include "app/shell/ScrollableBar.h"

#include <QScrollBar>

namespace tbapp {
namespace {

// Narrow enough that the bar never decides the window's smallest width.
constexpr int kSmallestWidth = 40;

} // namespace

ScrollableBar::ScrollableBar(QWidget* row, QWidget* parent) : QScrollArea(parent) {
    setObjectName(row->objectName() + "Scroller");
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setWidget(row);
    fitHeight();
}

QSize ScrollableBar::sizeHint() const {
    return widget()->sizeHint().expandedTo(widget()->minimumSizeHint());
}

QSize ScrollableBar::minimumSizeHint() const {
    return {kSmallestWidth, height()};
}

void ScrollableBar::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fitHeight();
}

void ScrollableBar::fitHeight() {
    const QWidget* row = widget();
    const int rowHeight = std::max(row->minimumSizeHint().height(), row->sizeHint().height());
    const bool scrolls = width() < row->minimumSizeHint().width();
    const int wanted = rowHeight + (scrolls ? horizontalScrollBar()->sizeHint().height() : 0);
    if (height() != wanted || minimumHeight() != wanted)
        setFixedHeight(wanted);
}

} // namespace tbapp

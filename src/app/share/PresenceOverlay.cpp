#include "app/share/PresenceOverlay.h"

#include "app/shell/DrawGrid.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>

namespace tbapp {

PresenceOverlay::PresenceOverlay(DrawGrid& grid) : QWidget(grid.viewport()), m_grid(grid) {
    setObjectName("SharedBuilderViews");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(grid.viewport()->rect());
    grid.viewport()->installEventFilter(this);
    for (QScrollBar* bar : {grid.horizontalScrollBar(), grid.verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    show();
}

void PresenceOverlay::setBuilders(std::vector<tb::PresentBuilder> builders) {
    m_builders = std::move(builders);
    update();
}

bool PresenceOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid.viewport() && event->type() == QEvent::Resize)
        setGeometry(m_grid.viewport()->rect());
    return QWidget::eventFilter(watched, event);
}

void PresenceOverlay::paintEvent(QPaintEvent*) {
    if (m_builders.empty())
        return;
    QPainter painter(this);
    painter.setPen(QPen(QColor(255, 200, 0), 2));
    for (const tb::PresentBuilder& builder : m_builders) {
        const tb::CellRegion& view = builder.view;
        const QRect area =
            m_grid.cellRect(view.x1, view.y1).united(m_grid.cellRect(view.x2, view.y2));
        if (!area.intersects(rect()))
            continue;
        painter.drawRect(area.adjusted(1, 1, -1, -1));
        painter.drawText(area.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(builder.name));
    }
}

} // namespace tbapp

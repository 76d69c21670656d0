#include "app/terrain/TileCornerView.h"

#include <QMouseEvent>
#include <QPainter>

namespace tbapp {
namespace {

constexpr int kMarkRadius = 14;

} // namespace

TileCornerView::TileCornerView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TileCornerView::showTile(const QImage& picture, const Corners& corners) {
    m_picture = picture;
    m_corners = corners;
    update();
}

int TileCornerView::cornerAt(const QPoint& point) const {
    return (point.y() >= height() / 2 ? 2 : 0) + (point.x() >= width() / 2 ? 1 : 0);
}

void TileCornerView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRect tile((width() - side) / 2, (height() - side) / 2, side, side);
    if (m_picture.isNull())
        painter.fillRect(tile, QColor(60, 60, 60));
    else
        painter.drawImage(tile, m_picture);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1, Qt::DashLine));
    painter.drawLine(tile.center().x(), tile.top(), tile.center().x(), tile.bottom());
    painter.drawLine(tile.left(), tile.center().y(), tile.right(), tile.center().y());
    const std::array<QPoint, 4> points{tile.topLeft(), tile.topRight(), tile.bottomLeft(),
                                       tile.bottomRight()};
    for (std::size_t i = 0; i < points.size(); ++i) {
        // The mark sits inside the picture at its corner; the name beside it, towards the
        // middle.
        const QPoint inward((i % 2 == 0 ? 1 : -1) * (kMarkRadius + 4),
                            (i < 2 ? 1 : -1) * (kMarkRadius + 4));
        const QPoint centre = points[i] + inward;
        const std::optional<Corner>& corner = m_corners[i];
        // A white ring round the mark keeps it apart from a picture of its own colour.
        painter.setPen(QPen(Qt::white, 5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, kMarkRadius, kMarkRadius);
        painter.setPen(corner ? QPen(Qt::black, 2) : QPen(Qt::black, 2, Qt::DotLine));
        painter.setBrush(corner ? corner->colour : QColor(0, 0, 0, 0));
        painter.drawEllipse(centre, kMarkRadius, kMarkRadius);
        const QString text = corner ? corner->name : QString("none");
        QRect box = painter.fontMetrics().boundingRect(text).adjusted(-3, -1, 3, 1);
        box.moveCenter(centre + QPoint(0, (i < 2 ? 1 : -1) * (kMarkRadius + 10)));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 160));
        painter.drawRect(box);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, text);
    }
}

void TileCornerView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return QWidget::mousePressEvent(event);
    emit cornerClicked(cornerAt(event->position().toPoint()), event->button() == Qt::RightButton);
}

} // namespace tbapp

#include "app/terrain/TerrainLooks.h"

#include <QPainter>
#include <QPolygonF>

namespace tbapp {

QColor terrainColour(const tb::Terrain& terrain) {
    return QColor::fromRgb(QRgb(0xFF000000u | terrain.colour));
}

QPixmap terrainSwatch(const tb::Terrain& terrain, const QImage& fill, int size) {
    QPixmap pixmap(size * 2 + 2, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(0, 0, size, size, terrainColour(terrain));
    painter.setPen(QColor(0, 0, 0, 120));
    painter.drawRect(0, 0, size - 1, size - 1);
    if (!fill.isNull())
        painter.drawImage(QRect(size + 2, 0, size, size), fill);
    return pixmap;
}

QIcon terrainToolIcon() {
    QIcon icon;
    for (int side : {20, 24, 40}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(side / 24.0, side / 24.0);
        painter.setPen(QPen(QColor("#263238"), 1));
        painter.setBrush(QColor("#4a8a2a"));
        painter.drawRect(QRectF(2.5, 2.5, 19, 19));
        // The sand corner, bounded by the line the transition tiles draw.
        painter.setBrush(QColor("#d8c890"));
        painter.drawPolygon(QPolygonF({QPointF(21.5, 8), QPointF(21.5, 21.5), QPointF(8, 21.5),
                                       QPointF(12, 14), QPointF(15, 11)}));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace tbapp

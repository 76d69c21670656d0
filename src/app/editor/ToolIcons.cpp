#include "editor/ToolIcons.h"

#include "editor/Stamp.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <optional>

namespace tbapp {
namespace {

constexpr int kIconSize = 24;

// Draws on a transparent square and hands back the icon.
QIcon drawIcon(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

// Where tile `id` sits in the frame (column, row).
std::optional<QPoint> framePlace(std::uint16_t id) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (tb::kStampFrame[std::size_t(r)][std::size_t(c)] == id)
                return QPoint(c, r);
    return std::nullopt;
}

} // namespace

QIcon paintToolIcon() {
    return drawIcon([](QPainter& p) {
        // A pencil lying from bottom left to top right.
        p.translate(12, 12);
        p.rotate(-45);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(240, 190, 40));
        p.drawRect(QRectF(-6, -3, 13, 6));
        p.setBrush(QColor(230, 120, 120));
        p.drawRect(QRectF(7, -3, 3, 6));
        QPainterPath tip;
        tip.moveTo(-6, -3);
        tip.lineTo(-11, 0);
        tip.lineTo(-6, 3);
        tip.closeSubpath();
        p.setBrush(QColor(245, 225, 180));
        p.drawPath(tip);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(-10, 0), 1, 1);
    });
}

QIcon fillToolIcon() {
    return drawIcon([](QPainter& p) {
        p.setPen(QPen(QColor(0, 90, 160), 1.5));
        p.setBrush(QColor(120, 190, 240));
        p.drawRect(QRectF(5, 6, 14, 12));
        // The two corners the user clicks.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 0, 0));
        p.drawRect(QRectF(2.5, 3.5, 5, 5));
        p.drawRect(QRectF(16.5, 15.5, 5, 5));
    });
}

QIcon brushToolIcon() {
    return drawIcon([](QPainter& p) {
        p.translate(12, 12);
        p.rotate(-45);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(150, 90, 40));
        p.drawRect(QRectF(0, -1.5, 11, 3)); // handle
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(QRectF(-3, -2.5, 3, 5)); // ferrule
        QPainterPath bristles;
        bristles.moveTo(-3, -3);
        bristles.cubicTo(-8, -4, -10, -1, -11, 0);
        bristles.cubicTo(-10, 1, -8, 4, -3, 3);
        bristles.closeSubpath();
        p.setBrush(QColor(40, 130, 60));
        p.drawPath(bristles);
    });
}

QIcon exitIcon() {
    return drawIcon([](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 1.5));
        p.setBrush(QColor(200, 160, 110));
        p.drawRect(QRectF(3, 3, 10, 18)); // the door
        p.setPen(QPen(QColor(180, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(9, 12), QPointF(21, 12));
        p.drawLine(QPointF(17, 8), QPointF(21, 12));
        p.drawLine(QPointF(17, 16), QPointF(21, 12));
    });
}

QIcon overviewIcon() {
    return drawIcon([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(70, 150, 70));
        p.drawRect(QRectF(2.5, 4.5, 19, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 110, 200));
        p.drawEllipse(QRectF(5, 7, 7, 5)); // water
        p.setBrush(QColor(170, 140, 90));
        p.drawRect(QRectF(12, 13, 7, 4)); // land
        p.setPen(QPen(QColor(220, 0, 0), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(13, 7, 5, 4)); // where the view is
    });
}

QIcon stampIcon(int button, const TilePictureSource& pictures) {
    const int cell = kIconSize / 3;
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // The whole frame as a faint outline, so each button shows where its cells belong.
    p.setPen(QColor(150, 150, 150));
    p.setBrush(Qt::NoBrush);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRect(c * cell, r * cell, cell - 1, cell - 1);
    for (const tb::StampCellSpec& stampCell : tb::stampPattern(button)) {
        const std::optional<QPoint> place = framePlace(stampCell.tileId);
        if (!place)
            continue;
        const QRect target(place->x() * cell, place->y() * cell, cell, cell);
        const QImage picture = pictures ? pictures(stampCell.tileId, cell) : QImage();
        if (!picture.isNull()) {
            p.drawImage(target, picture);
            continue;
        }
        // Schematic: the cell filled, with a bar on each side that faces out of the frame,
        // as the wall pieces do.
        p.fillRect(target.adjusted(0, 0, -1, -1), QColor(110, 80, 50));
        p.setPen(QPen(QColor(235, 215, 150), 2));
        const int c = place->x(), r = place->y();
        const QRect in = target.adjusted(1, 1, -2, -2);
        if (r == 0)
            p.drawLine(in.topLeft(), in.topRight());
        if (r == 2)
            p.drawLine(in.bottomLeft(), in.bottomRight());
        if (c == 0)
            p.drawLine(in.topLeft(), in.bottomLeft());
        if (c == 2)
            p.drawLine(in.topRight(), in.bottomRight());
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace tbapp

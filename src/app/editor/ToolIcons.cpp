#include "app/editor/ToolIcons.h"

#include "editor/Stamp.h"

#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QSvgRenderer>

#include <functional>
#include <optional>

namespace tbapp {
namespace {

constexpr int kIconSize = 24;

// Where tile `id` sits in the frame (column, row).
std::optional<QPoint> framePlace(std::uint16_t id) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (tb::kStampFrame[std::size_t(r)][std::size_t(c)] == id)
                return QPoint(c, r);
    return std::nullopt;
}

} // namespace

QIcon svgIcon(const QString& path) {
    // Drawn by QSvgRenderer into pixmaps rather than handed to QIcon as a file: QIcon reads
    // SVG only through an icon engine plugin, which a deployed copy may lack.
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon paintToolIcon() {
    return svgIcon(":/icons/paint.svg");
}

QIcon fillToolIcon() {
    return svgIcon(":/icons/fill.svg");
}

QIcon brushToolIcon() {
    return svgIcon(":/icons/brush.svg");
}

QIcon exitIcon() {
    return svgIcon(":/icons/exit.svg");
}

QIcon overviewIcon() {
    return svgIcon(":/icons/overview.svg");
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
    for (const tb::StampCell& stampCell : tb::stampPattern(button)) {
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

namespace {

// A small crate, drawn rather than read: the item tools' glyphs.
void drawCrate(QPainter& painter, const QRectF& box) {
    painter.setPen(QPen(QColor("#263238"), 1));
    painter.setBrush(QColor("#c49a6c"));
    painter.drawRect(box);
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomLeft());
}

QIcon drawnIcon(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int side : {20, 24, 40}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(side / 24.0, side / 24.0);
        draw(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon placeItemIcon() {
    return drawnIcon([](QPainter& painter) {
        drawCrate(painter, QRectF(3.5, 9.5, 11, 11));
        painter.setPen(QPen(QColor("#2e7d32"), 2.5));
        painter.drawLine(QPointF(18, 2), QPointF(18, 12));
        painter.drawLine(QPointF(13, 7), QPointF(23, 7));
    });
}

QIcon selectItemsIcon() {
    return drawnIcon([](QPainter& painter) {
        drawCrate(painter, QRectF(7.5, 7.5, 9, 9));
        QPen dashed(QColor("#1565c0"), 1.5);
        dashed.setDashPattern({2, 2});
        painter.setPen(dashed);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(2.5, 2.5, 19, 19));
    });
}

QIcon isometricViewIcon() {
    return drawnIcon([](QPainter& painter) {
        // A tile seen from the side: its top diamond and the two faces under it.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor("#37474f"), 1.2));
        painter.setBrush(QColor("#8bc34a"));
        painter.drawPolygon(QPolygonF({{12, 3}, {21, 8}, {12, 13}, {3, 8}}));
        painter.setBrush(QColor("#a1887f"));
        painter.drawPolygon(QPolygonF({{3, 8}, {12, 13}, {12, 21}, {3, 16}}));
        painter.setBrush(QColor("#795548"));
        painter.drawPolygon(QPolygonF({{12, 13}, {21, 8}, {21, 16}, {12, 21}}));
    });
}

} // namespace tbapp

#include "app/catalogue/TileCells.h"

#include "app/shell/DrawGrid.h"
#include "catalogue/TextureList.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace tbapp {

void drawTileCell(QPainter& painter, const QRect& rect, const QImage& image,
                  const QColor& emptyColour, bool framed, const QString& label) {
    if (image.isNull())
        painter.fillRect(rect, emptyColour);
    else
        painter.drawImage(rect, image);
    if (framed) {
        painter.save();
        painter.setPen(QPen(Qt::red, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.restore();
    }
    if (!label.isEmpty()) {
        const QFontMetrics metrics(painter.font());
        const QRect box(rect.left() + 1, rect.top() + 1, metrics.horizontalAdvance(label),
                        metrics.height());
        painter.save();
        painter.setClipRect(rect);
        painter.fillRect(box, Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, label);
        painter.restore();
    }
}

QString tileIdLabel(int tileId) {
    return QString::fromStdString(tb::paletteIdLabel(tileId));
}

const QImage& brushNoDrawPicture() {
    static const QImage picture = [] {
        // The 16 colours of the classic palette; the picture uses silver, red, maroon and
        // white: a silver tile with a red "no entry" ring and bar.
        const QList<QRgb> palette = {
            qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
            qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
        constexpr int kSilver = 8, kRed = 9, kMaroon = 1, kWhite = 15, kGray = 7;
        QImage image(kDialogCellSize, kDialogCellSize, QImage::Format_Indexed8);
        image.setColorTable(palette);
        const double centre = (kDialogCellSize - 1) / 2.0;
        for (int y = 0; y < kDialogCellSize; ++y) {
            for (int x = 0; x < kDialogCellSize; ++x) {
                const double dx = x - centre;
                const double dy = y - centre;
                const double distance = std::sqrt(dx * dx + dy * dy);
                int colour = (x + y) % 2 == 0 ? kSilver : kWhite;
                if (x == 0 || y == 0 || x == kDialogCellSize - 1 || y == kDialogCellSize - 1)
                    colour = kGray;
                // The ring, with a darker outer edge.
                if (distance >= 14 && distance < 18)
                    colour = kRed;
                else if (distance >= 18 && distance < 19)
                    colour = kMaroon;
                // The bar from top left to bottom right inside the ring.
                if (distance < 14 && std::abs(dx - dy) < 3.5)
                    colour = kRed;
                image.setPixel(x, y, uint(colour));
            }
        }
        return image;
    }();
    return picture;
}

std::vector<std::string>
loadDialogTileRows(const std::filesystem::path& appDir,
                   const std::function<void(const std::exception&)>& fail) {
    std::vector<std::string> rows;
    try {
        tb::loadTextureList(appDir, tb::textureListPath(tb::kDefaultTextureList), rows);
    } catch (const std::exception& error) {
        fail(error);
    }
    // An empty list leaves one empty row, which shows nothing and adds nothing.
    return rows;
}

namespace {

class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(DrawGrid* grid, std::function<void()> action)
        : QObject(grid), m_grid(grid), m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                // The cell under the pointer is the one added, whatever the press before
                // the double-click did.
                const QPoint cell = m_grid->mouseCoord(mouse->position().toPoint());
                if (cell.x() < 0 || cell.y() < 0)
                    return true;
                if (cell.x() != m_grid->col() || cell.y() != m_grid->row())
                    m_grid->selectCell(cell.x(), cell.y());
                m_action();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    DrawGrid* m_grid;
    std::function<void()> m_action;
};

} // namespace

void onGridDoubleClick(DrawGrid* grid, std::function<void()> action) {
    grid->viewport()->installEventFilter(new DoubleClickFilter(grid, std::move(action)));
}

void fitGridToOneCell(DrawGrid* grid, Qt::Orientation scrolling) {
    const int frame = 2 * grid->frameWidth();
    const int cell = kDialogCellSize + grid->gridLineWidth();
    if (scrolling == Qt::Vertical) {
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setFixedWidth(cell + frame + grid->verticalScrollBar()->sizeHint().width());
    } else {
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setFixedHeight(cell + frame + grid->horizontalScrollBar()->sizeHint().height());
    }
}

} // namespace tbapp

#include "editor/MapCellPainter.h"

#include "editor/AltitudeColour.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr int kTileIds = 65536;

QColor toQColor(const tb::Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

} // namespace

MapCellPainter::MapCellPainter() : m_pictures(kTileIds), m_pictureKnown(kTileIds, 0) {}

void MapCellPainter::setArt(const tb::ArtFiles* art) {
    m_art = art;
    dropCache();
}

void MapCellPainter::dropCache() {
    std::fill(m_pictureKnown.begin(), m_pictureKnown.end(), 0);
    for (QImage& picture : m_pictures)
        picture = QImage();
    m_cacheWidth = 0;
    m_cacheHeight = 0;
}

QImage MapCellPainter::toQImage(const tb::Image15& image) {
    QImage result(image.width, image.height, QImage::Format_RGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            const tb::Rgb rgb = tb::rgb555ToColor(image.at(x, y));
            line[x] = qRgb(rgb.red, rgb.green, rgb.blue);
        }
    }
    return result;
}

QImage MapCellPainter::tilePicture(std::uint16_t tileId, int width, int height) {
    if (!m_art)
        return {};
    // Texture first; the land tile only when the tile has no texture.
    if (!tb::makeTextureImage(*m_art, tileId, m_work) &&
        !tb::makeLandTileImage(*m_art, tileId, m_work))
        return {};
    const QImage picture = toQImage(m_work);
    if (picture.width() == width && picture.height() == height)
        return picture;
    return picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

const QImage& MapCellPainter::cachedPicture(std::uint16_t tileId, int width, int height) {
    if (width != m_cacheWidth || height != m_cacheHeight) {
        dropCache();
        m_cacheWidth = width;
        m_cacheHeight = height;
    }
    if (!m_pictureKnown[tileId]) {
        m_pictures[tileId] = tilePicture(tileId, width, height);
        m_pictureKnown[tileId] = 1;
    }
    return m_pictures[tileId];
}

void MapCellPainter::drawPicture(QPainter& painter, QImage* direct, const QImage& picture,
                                 const QRect& rect) {
    if (!direct || direct->format() != QImage::Format_RGB32) {
        if (picture.isNull())
            painter.fillRect(rect, Qt::black);
        else
            painter.drawImage(rect, picture);
        return;
    }
    const QRect clip = rect & direct->rect();
    if (clip.isEmpty())
        return;
    const int dx = clip.left() - rect.left();
    const int dy = clip.top() - rect.top();
    const std::size_t bytes = std::size_t(clip.width()) * sizeof(QRgb);
    const qsizetype targetStride = direct->bytesPerLine();
    uchar* target = direct->bits() + clip.top() * targetStride + clip.left() * sizeof(QRgb);
    if (picture.isNull() || picture.width() < rect.width() || picture.height() < rect.height()) {
        for (int y = 0; y < clip.height(); ++y, target += targetStride)
            std::fill_n(reinterpret_cast<QRgb*>(target), clip.width(), qRgb(0, 0, 0));
        return;
    }
    const qsizetype sourceStride = picture.bytesPerLine();
    const uchar* source = picture.constBits() + dy * sourceStride + dx * sizeof(QRgb);
    for (int y = 0; y < clip.height(); ++y, target += targetStride, source += sourceStride)
        std::memcpy(target, source, bytes);
}

void MapCellPainter::drawOpaqueText(QPainter& painter, const QString& text, QPoint topLeft,
                                    const QColor& background, const QColor& foreground) {
    const QFontMetrics metrics(m_font);
    const QRect box(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height()));
    painter.fillRect(box, background);
    painter.setPen(foreground);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

void MapCellPainter::drawCell(QPainter& painter, QImage* direct, int x, int y,
                              const QRect& rect, bool selected) {
    // 1-3: the picture of the tile (texture, else land tile, else black). "Show only
    // Color" replaces it only while the altitude is shown; otherwise nothing would cover
    // the cell and it would keep stale pixels.
    std::optional<tb::MapCell> cell;
    if (m_map && m_map->contains(x, y))
        cell = m_map->cellUnchecked(x, y);
    const bool onlyColour = m_switches.altitudeOn && m_switches.showOnlyColor;
    if (!onlyColour) {
        if (!cell || !m_art)
            drawPicture(painter, direct, QImage(), rect);
        else if (m_cacheEnabled)
            drawPicture(painter, direct, cachedPicture(cell->tileId, rect.width(), rect.height()),
                        rect);
        else
            drawPicture(painter, direct, tilePicture(cell->tileId, rect.width(), rect.height()),
                        rect);
    }

    // 4: the fill colour starts white.
    QColor fill = Qt::white;

    // 5: the selection frame, inside the cell.
    if (selected) {
        painter.setPen(m_switches.stampButtonDown ? kStampSelectionFrameColour
                                                  : kSelectionFrameColour);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }

    const bool needsText = m_switches.altitudeOn ||
                           (m_bookmarks && std::any_of(m_bookmarks->begin(), m_bookmarks->end(),
                                                       [&](const CellBookmark& b) {
                                                           return b.enabled && b.col == x &&
                                                                  b.row == y;
                                                       }));
    if (!needsText)
        return;
    painter.save();
    painter.setClipRect(rect);
    painter.setFont(m_font);

    // 6-7: the altitude, black text on the fill colour.
    if (m_switches.altitudeOn) {
        const int z = cell ? cell->altitude : 0;
        if (m_switches.coloredAltitude)
            fill = toQColor(tb::altitudeColour(z));
        if (m_switches.showOnlyColor)
            painter.fillRect(rect, fill);
        const QString text = m_switches.showNumber ? QString(" %1 ").arg(z) : QString(4, ' ');
        drawOpaqueText(painter, text, rect.topLeft() + QPoint(1, 1), fill, Qt::black);
    }

    // 8: bookmark labels, navy with white text, the highest number last.
    if (m_bookmarks) {
        for (int i = 0; i < int(m_bookmarks->size()); ++i) {
            const CellBookmark& bookmark = (*m_bookmarks)[std::size_t(i)];
            if (bookmark.enabled && bookmark.col == x && bookmark.row == y)
                drawOpaqueText(painter, QString(" %1 ").arg(i),
                               QPoint(rect.left() + 1, rect.top() + rect.height() - 15),
                               kBookmarkLabelColour, Qt::white);
        }
    }
    painter.restore();
}

#include "render/ItemPainter.h"

#include "core/ItemArt.h"

#include <QPainter>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace tbrender {
namespace {

QImage toImage(const tb::ItemImage& item) {
    QImage image(item.width, item.height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < item.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < item.width; ++x) {
            const std::uint16_t p =
                item.pixels[std::size_t(y) * std::size_t(item.width) + std::size_t(x)];
            if (!(p & tb::ItemImage::kOpaque)) {
                line[x] = 0;
                continue;
            }
            const tb::Rgb c = tb::rgb555ToColor(p);
            line[x] = qRgb(c.red, c.green, c.blue);
        }
    }
    return image;
}

// `image` (premultiplied) over the surface with its top left at (left, top), clipped.
void blendOnto(const PixelSurface& surface, const QImage& image, int left, int top) {
    const int fromX = std::max(left, 0), untilX = std::min(left + image.width(), surface.width);
    const int fromY = std::max(top, 0), untilY = std::min(top + image.height(), surface.height);
    for (int y = fromY; y < untilY; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y - top)) - left;
        QRgb* to = surface.bits + y * surface.stride;
        for (int x = fromX; x < untilX; ++x) {
            const QRgb p = from[x];
            const unsigned alpha = qAlpha(p);
            if (alpha == 255) {
                to[x] = p;
            } else if (alpha != 0) {
                const QRgb d = to[x];
                const unsigned rest = 255 - alpha;
                to[x] = qRgb(qRed(p) + (qRed(d) * rest + 127) / 255,
                             qGreen(p) + (qGreen(d) * rest + 127) / 255,
                             qBlue(p) + (qBlue(d) * rest + 127) / 255);
            }
        }
    }
}

} // namespace

bool ItemPainter::holdsItemArt(const tb::ArtFiles& art) {
    return art.artIndex.size() > std::size_t(0x4000) * 12 && !art.artData.empty();
}

void ItemPainter::setArt(const tb::ArtFiles* art) {
    m_art = art;
    m_pictures.clear();
}

const QImage& ItemPainter::picture(std::uint16_t id, int cellSize) {
    if (cellSize != m_cacheCellSize) {
        m_pictures.clear();
        m_cacheCellSize = cellSize;
    }
    auto [it, added] = m_pictures.try_emplace(id);
    if (!added)
        return it->second;
    const tb::ItemImage item = m_art ? tb::itemArtImage(*m_art, id) : tb::itemPlaceholderImage();
    const double scale = std::min({double(cellSize) / kLandPictureWidth,
                                   double(cellSize) / item.width, double(cellSize) / item.height});
    const int width = std::max(1, int(std::lround(item.width * scale)));
    const int height = std::max(1, int(std::lround(item.height * scale)));
    it->second =
        toImage(item).scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return it->second;
}

bool ItemPainter::collectItems(std::int32_t x, std::int32_t y) {
    if (!m_statics || x < 0 || y < 0 || x / 8 >= m_statics->widthBlocks() ||
        y / 8 >= m_statics->heightBlocks())
        return false;
    const auto bytes = m_statics->recordBytes(m_statics->blockNumber(x / 8, y / 8));
    m_cellItems.clear();
    const unsigned cx = unsigned(x % 8), cy = unsigned(y % 8);
    for (std::size_t at = 0; at + tb::kStaticRecordSize <= bytes.size();
         at += tb::kStaticRecordSize)
        if (bytes[at + 2] == cx && bytes[at + 3] == cy)
            m_cellItems.push_back(tb::readStaticRecord(bytes.data() + at));
    if (m_cellItems.empty())
        return false;
    std::stable_sort(
        m_cellItems.begin(), m_cellItems.end(),
        [](const tb::StaticRecord& a, const tb::StaticRecord& b) { return a.z < b.z; });
    return true;
}

bool ItemPainter::drawCellItems(QPainter& painter, std::int32_t x, std::int32_t y,
                                const QRect& rect) {
    if (!collectItems(x, y))
        return false;
    const int size = std::min(rect.width(), rect.height());
    for (const tb::StaticRecord& item : m_cellItems) {
        const QImage& image = picture(item.id, size);
        // Items stand on the cell: bottom-centred.
        painter.drawImage(rect.left() + (rect.width() - image.width()) / 2,
                          rect.bottom() + 1 - image.height(), image);
    }
    return true;
}

bool ItemPainter::drawCellItems(const PixelSurface& surface, std::int32_t x, std::int32_t y,
                                const QRect& rect) {
    if (!collectItems(x, y))
        return false;
    const int size = std::min(rect.width(), rect.height());
    for (const tb::StaticRecord& item : m_cellItems) {
        const QImage& image = picture(item.id, size);
        blendOnto(surface, image, rect.left() + (rect.width() - image.width()) / 2,
                  rect.bottom() + 1 - image.height());
    }
    return true;
}

} // namespace tbrender

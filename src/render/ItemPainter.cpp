#include "render/ItemPainter.h"

#include "core/ItemArt.h"

#include <QPainter>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tbrender {
namespace {

constexpr int kNearlyOpaque = 248;

// The item's picture in `hue` (when given), at `alpha`.
QImage toImage(const tb::ItemImage& item, const tb::HueEntry* hue, bool onlyGrey, int alpha) {
    QImage image(item.width, item.height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < item.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < item.width; ++x) {
            std::uint16_t p =
                item.pixels[std::size_t(y) * std::size_t(item.width) + std::size_t(x)];
            if (!(p & tb::ItemImage::kOpaque)) {
                line[x] = 0;
                continue;
            }
            if (hue)
                p = tb::huePixel(p, *hue, onlyGrey);
            const tb::Rgb c = tb::rgb555ToColor(p);
            line[x] = alpha == 255 ? qRgb(c.red, c.green, c.blue)
                                   : qPremultiply(qRgba(c.red, c.green, c.blue, alpha));
        }
    }
    return image;
}

// A premultiplied pixel over an opaque one: the red and blue channels scaled together,
// then green, each rounded as value * alpha / 255.
inline QRgb blendOver(QRgb pixel, QRgb under) {
    const unsigned rest = 255 - qAlpha(pixel);
    unsigned redBlue = (under & 0xFF00FFu) * rest;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    unsigned green = ((under >> 8) & 0xFFu) * rest;
    green = (green + (green >> 8) + 0x80u) >> 8;
    return 0xFF000000u | ((pixel & 0xFFFFFFu) + redBlue + (green << 8));
}

} // namespace

bool ItemPainter::holdsItemArt(const tb::ArtFiles& art) {
    return art.artIndex.size() > std::size_t(0x4000) * 12 && !art.artData.empty();
}

void ItemPainter::setArt(const tb::ArtFiles* art) {
    m_art = art;
    m_pictures.clear();
    m_huedPictures.clear();
}

void ItemPainter::setHues(const tb::HueFile* hues, const tb::TileData* tiledata) {
    m_hues = hues;
    m_tiledata = tiledata;
    m_pictures.clear();
    m_huedPictures.clear();
}

const QImage& ItemPainter::picture(std::uint16_t id, int cellSize, std::uint16_t hue) {
    return sprite(id, cellSize, hue).image;
}

// Most pixels of an item are opaque or transparent: its lines are kept as runs of each kind
// once, so drawing copies whole runs and blends only the few edge pixels.
const ItemPainter::Sprite& ItemPainter::sprite(std::uint16_t id, int cellSize, std::uint16_t hue) {
    if (cellSize != m_cacheCellSize) {
        m_pictures.clear();
        m_huedPictures.clear();
        m_cacheCellSize = cellSize;
    }
    const tb::HueEntry* entry = m_hues && hue != 0 ? m_hues->entry(hue) : nullptr;
    if (entry) {
        std::unique_ptr<Sprite>& kept =
            m_huedPictures[std::uint32_t(id) | std::uint32_t(hue) << 16];
        if (!kept)
            kept = std::make_unique<Sprite>(makeSprite(id, entry, hue, cellSize));
        return *kept;
    }
    if (m_pictures.empty())
        m_pictures.resize(std::size_t(1) << 16);
    std::unique_ptr<Sprite>& kept = m_pictures[id];
    if (!kept)
        kept = std::make_unique<Sprite>(makeSprite(id, nullptr, 0, cellSize));
    return *kept;
}

// Most pixels of an item are opaque or transparent: its lines are kept as runs of each kind
// once, so drawing copies whole runs and blends only the few edge pixels.
ItemPainter::Sprite ItemPainter::makeSprite(std::uint16_t id, const tb::HueEntry* hue,
                                            std::uint16_t hueWord, int cellSize) const {
    const tb::ItemImage item = m_art ? tb::itemArtImage(*m_art, id) : tb::itemPlaceholderImage();
    const std::uint64_t flags = m_tiledata ? m_tiledata->item(id).flags : 0;
    const int alpha = flags & tb::tileflag::Translucent ? tb::kTranslucentAlpha : 255;
    const double scale = std::min({double(cellSize) / kLandPictureWidth,
                                   double(cellSize) / item.width, double(cellSize) / item.height});
    const int width = std::max(1, int(std::lround(item.width * scale)));
    const int height = std::max(1, int(std::lround(item.height * scale)));
    Sprite sprite;
    sprite.image = toImage(item, hue, tb::huesOnlyGrey(flags, hueWord), alpha)
                       .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < sprite.image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(sprite.image.scanLine(y));
        // Smooth scaling leaves the inside of a shape a shade short of opaque; taken as
        // opaque it is copied, not blended, at no visible cost.
        for (int x = 0; x < sprite.image.width(); ++x)
            if (qAlpha(line[x]) >= kNearlyOpaque)
                line[x] |= 0xFF000000u;
        for (int x = 0; x < sprite.image.width();) {
            const unsigned a = qAlpha(line[x]);
            int end = x + 1;
            if (a == 0) {
                x = end;
                continue;
            }
            const bool opaque = a == 255;
            while (end < sprite.image.width() && qAlpha(line[end]) != 0 &&
                   (qAlpha(line[end]) == 255) == opaque)
                ++end;
            sprite.runs.push_back(
                {std::int16_t(y), std::int16_t(x), std::int16_t(end - x), opaque});
            x = end;
        }
    }
    sprite.pixels = reinterpret_cast<const QRgb*>(sprite.image.constBits());
    sprite.width = sprite.image.width();
    sprite.height = sprite.image.height();
    sprite.stride = sprite.image.bytesPerLine() / qsizetype(sizeof(QRgb));
    return sprite;
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
        if (bytes[at + 2] == cx && bytes[at + 3] == cy &&
            static_cast<std::int8_t>(bytes[at + 4]) <= m_maxZ)
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
        const QImage& image = picture(item.id, size, item.hue);
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
    drawItems(surface, m_cellItems, rect);
    return true;
}

void ItemPainter::drawItems(const PixelSurface& surface, std::span<const tb::StaticRecord> items,
                            const QRect& rect) {
    const int size = std::min(rect.width(), rect.height());
    for (const tb::StaticRecord& item : items) {
        const Sprite& s = sprite(item.id, size, item.hue);
        const int left = rect.left() + (rect.width() - s.width) / 2;
        const int top = rect.bottom() + 1 - s.height;
        const QRgb* pixels = s.pixels;
        const qsizetype stride = s.stride;
        for (const Run& run : s.runs) {
            const int y = top + run.y;
            const int from = std::max(left + run.x, 0);
            const int until = std::min(left + run.x + run.length, surface.width);
            if (y < 0 || y >= surface.height || from >= until)
                continue;
            const QRgb* src = pixels + run.y * stride + (from - left);
            QRgb* to = surface.bits + y * surface.stride + from;
            if (run.opaque) {
                copyPixels(to, src, until - from);
                continue;
            }
            for (int i = 0; i < until - from; ++i)
                to[i] = blendOver(src[i], to[i]);
        }
    }
}

} // namespace tbrender

#include "render/MapCellPainter.h"

#include "core/MapVariant.h"
#include "editor/AltitudeColour.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif

namespace tbrender {

namespace {

constexpr int kTileIds = 65536;
// Pixels after each kept picture that the row copy may read and not use (see below).
constexpr std::size_t kPicturePadding = 8;

QColor toQColor(const tb::Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// One scanline of the whole cells of a row, `Width` pixels each: with the width fixed the
// copy is a few plain moves, not a call to the library's memcpy per cell. The zoom levels
// up to the default one (multiples of 5 up to 50) have their own copies.
template <int Width>
void copyCellLines(QRgb* to, const QRgb* const* pictures, int first, int last, int stepX,
                   int pictureRow) {
    for (int i = first; i <= last; ++i, to += stepX)
        std::memcpy(to, pictures[i] + pictureRow, Width * sizeof(QRgb));
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// Cells side by side (no grid line between them): each cell's line is copied in whole
// 32-byte pieces, the last piece running on into the cells after it, which are copied
// later and cover that. Half the stores of an exact copy, and at a full view the count of
// stores is what the repaint takes. The cells whose pieces would run past the last cell are
// copied exactly. Pictures are padded by kPicturePadding pixels, so reading whole pieces
// stays inside them.
template <int Pieces>
__attribute__((target("avx"))) void copyAdjacentCellLines(QRgb* to, const QRgb* const* pictures,
                                                          int first, int last, int width,
                                                          int pictureRow) {
    const int lastWide = last + 1 - (8 * Pieces + width - 1) / width;
    int i = first;
    for (; i <= lastWide; ++i, to += width) {
        const QRgb* from = pictures[i] + pictureRow;
        for (int p = 0; p < Pieces; ++p)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 8 * p),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 8 * p)));
    }
    for (; i <= last; ++i, to += width)
        copyPixels(to, pictures[i] + pictureRow, width);
}

const bool kWidePieces = __builtin_cpu_supports("avx");

bool copyAdjacentCellLines(QRgb* to, const QRgb* const* pictures, int first, int last, int width,
                           int pictureRow) {
    if (!kWidePieces)
        return false;
    using Copy = void (*)(QRgb*, const QRgb* const*, int, int, int, int);
    static constexpr Copy kByPieces[] = {copyAdjacentCellLines<1>, copyAdjacentCellLines<2>,
                                         copyAdjacentCellLines<3>, copyAdjacentCellLines<4>,
                                         copyAdjacentCellLines<5>, copyAdjacentCellLines<6>,
                                         copyAdjacentCellLines<7>};
    const int pieces = (width + 7) / 8;
    if (pieces > int(std::size(kByPieces)))
        return false;
    kByPieces[pieces - 1](to, pictures, first, last, width, pictureRow);
    return true;
}
#else
bool copyAdjacentCellLines(QRgb*, const QRgb* const*, int, int, int, int) {
    return false;
}
#endif

void copyCellLines(QRgb* to, const QRgb* const* pictures, int first, int last, int stepX,
                   int pictureRow, int width) {
    if (stepX == width && copyAdjacentCellLines(to, pictures, first, last, width, pictureRow))
        return;
    switch (width) {
    case 5:
        return copyCellLines<5>(to, pictures, first, last, stepX, pictureRow);
    case 10:
        return copyCellLines<10>(to, pictures, first, last, stepX, pictureRow);
    case 15:
        return copyCellLines<15>(to, pictures, first, last, stepX, pictureRow);
    case 20:
        return copyCellLines<20>(to, pictures, first, last, stepX, pictureRow);
    case 25:
        return copyCellLines<25>(to, pictures, first, last, stepX, pictureRow);
    case 30:
        return copyCellLines<30>(to, pictures, first, last, stepX, pictureRow);
    case 35:
        return copyCellLines<35>(to, pictures, first, last, stepX, pictureRow);
    case 40:
        return copyCellLines<40>(to, pictures, first, last, stepX, pictureRow);
    case 45:
        return copyCellLines<45>(to, pictures, first, last, stepX, pictureRow);
    case 50:
        return copyCellLines<50>(to, pictures, first, last, stepX, pictureRow);
    default:
        for (int i = first; i <= last; ++i, to += stepX)
            copyPixels(to, pictures[i] + pictureRow, width);
    }
}

inline void fillPixels(QRgb* to, QRgb value, int count) {
    std::fill_n(to, count, value);
}

bool markerIsOutlined(const QRect& marker) {
    return marker.width() >= MapCellPainter::kMinOutlinedMarker &&
           marker.height() >= MapCellPainter::kMinOutlinedMarker;
}

// A statics marker at `marker` (surface coordinates), clipped to the surface: its outermost
// pixels in `outline` when it is outlined, the rest in `colour`.
inline void drawMarkerPixels(const PixelSurface& surface, const QRect& marker, bool outlined,
                             QRgb colour, QRgb outline) {
    const int left = marker.left();
    const int right = left + marker.width(); // one past the last column
    const int top = marker.top();
    const int bottom = top + marker.height();
    const int from = std::max(left, 0);
    const int until = std::min(right, surface.width);
    const int yFrom = std::max(top, 0);
    const int yUntil = std::min(bottom, surface.height);
    if (from >= until || yFrom >= yUntil)
        return;
    QRgb* line = surface.bits + yFrom * surface.stride;
    for (int y = yFrom; y < yUntil; ++y, line += surface.stride) {
        if (outlined && (y == top || y == bottom - 1)) {
            fillPixels(line + from, outline, until - from);
            continue;
        }
        fillPixels(line + from, colour, until - from);
        if (outlined) {
            if (left >= 0)
                line[left] = outline;
            if (right <= surface.width)
                line[right - 1] = outline;
        }
    }
}

// Which part of the statics markers a scanline crosses.
enum class MarkerLine {
    Plain,   // a marker too small for an outline: all colour
    Outline, // the top or bottom line of an outlined marker: all outline
    Middle,  // between them: outline, colour, outline
};

// One scanline of the markers of a row, all of them wholly inside the line, `Width` pixels
// each: with the width fixed the writes are a few plain stores. `origin` is where column 0's
// marker would start.
template <int Width>
void markerLine(QRgb* line, int origin, int stepX, std::span<const CellMarker> markers,
                MarkerLine part, QRgb outline) {
    switch (part) {
    case MarkerLine::Plain:
        for (const CellMarker& m : markers)
            std::fill_n(line + (origin + m.col * stepX), Width, m.colour);
        break;
    case MarkerLine::Outline:
        for (const CellMarker& m : markers)
            std::fill_n(line + (origin + m.col * stepX), Width, outline);
        break;
    case MarkerLine::Middle:
        for (const CellMarker& m : markers) {
            QRgb* to = line + (origin + m.col * stepX);
            to[0] = outline;
            std::fill_n(to + 1, Width - 2, m.colour);
            to[Width - 1] = outline;
        }
        break;
    }
}

void markerLine(QRgb* line, int origin, int stepX, std::span<const CellMarker> markers, int width,
                MarkerLine part, QRgb outline) {
    // The marker widths of the small cell sizes (1..3 and the zoom levels 5 to 25), where
    // markers are many and each is a few pixels.
    switch (width) {
    case 1:
        return markerLine<1>(line, origin, stepX, markers, part, outline);
    case 2:
        return markerLine<2>(line, origin, stepX, markers, part, outline);
    case 5:
        return markerLine<5>(line, origin, stepX, markers, part, outline);
    case 7:
        return markerLine<7>(line, origin, stepX, markers, part, outline);
    case 10:
        return markerLine<10>(line, origin, stepX, markers, part, outline);
    case 12:
        return markerLine<12>(line, origin, stepX, markers, part, outline);
    default:
        break;
    }
    for (const CellMarker& m : markers) {
        QRgb* to = line + (origin + m.col * stepX);
        if (part == MarkerLine::Middle) {
            to[0] = outline;
            fillPixels(to + 1, m.colour, width - 2);
            to[width - 1] = outline;
        } else {
            fillPixels(to, part == MarkerLine::Plain ? m.colour : outline, width);
        }
    }
}

} // namespace

MapCellPainter::MapCellPainter() : m_pictureOf(kTileIds, nullptr) {}

void MapCellPainter::setArt(const tb::ArtFiles* art) {
    m_art = art;
    m_items.setArt(art);
    m_itemArtHeld = art && ItemPainter::holdsItemArt(*art);
    dropCache();
}

void MapCellPainter::dropCache() {
    std::fill(m_pictureOf.begin(), m_pictureOf.end(), nullptr);
    m_pictures.clear();
    std::vector<QRgb>().swap(m_black);
    m_composed.clear();
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

void MapCellPainter::keepSize(int width, int height) {
    if (width == m_cacheWidth && height == m_cacheHeight)
        return;
    dropCache();
    m_cacheWidth = width;
    m_cacheHeight = height;
    m_composed.setSize(width, height, kPicturePadding);
    m_black.assign(std::size_t(width) * std::size_t(height) + kPicturePadding, qRgb(0, 0, 0));
}

const QRgb* MapCellPainter::decodePicture(std::uint16_t tileId) {
    const QImage picture = tilePicture(tileId, m_cacheWidth, m_cacheHeight);
    if (picture.isNull())
        return m_pictureOf[tileId] = m_black.data();
    const auto width = std::size_t(m_cacheWidth);
    auto& pixels = m_pictures.emplace_back(
        std::make_unique<QRgb[]>(width * std::size_t(m_cacheHeight) + kPicturePadding));
    for (int y = 0; y < m_cacheHeight; ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(picture.constScanLine(y)), width,
                    pixels.get() + std::size_t(y) * width);
    return m_pictureOf[tileId] = pixels.get();
}

const QRgb* MapCellPainter::cachedPicture(std::uint16_t tileId, int width, int height) {
    if (!m_cacheEnabled) {
        m_uncached = tilePicture(tileId, width, height);
        return m_uncached.isNull() ? nullptr
                                   : reinterpret_cast<const QRgb*>(m_uncached.constBits());
    }
    keepSize(width, height);
    const QRgb* picture = m_pictureOf[tileId] ? m_pictureOf[tileId] : decodePicture(tileId);
    return picture == m_black.data() ? nullptr : picture;
}

// Draws a picture of rect's size (or black for none) into rect.
void MapCellPainter::drawPicture(QPainter& painter, const PixelSurface* surface,
                                 const QRgb* picture, const QRect& rect) {
    if (!surface) {
        if (!picture)
            painter.fillRect(rect, Qt::black);
        else
            painter.drawImage(rect.topLeft(),
                              QImage(reinterpret_cast<const uchar*>(picture), rect.width(),
                                     rect.height(), rect.width() * int(sizeof(QRgb)),
                                     QImage::Format_RGB32));
        return;
    }
    const int left = std::max(rect.left(), 0);
    const int top = std::max(rect.top(), 0);
    const int right = std::min(rect.left() + rect.width(), surface->width);
    const int bottom = std::min(rect.top() + rect.height(), surface->height);
    if (left >= right || top >= bottom)
        return;
    const int count = right - left;
    QRgb* to = surface->bits + top * surface->stride + left;
    if (!picture) {
        for (int y = top; y < bottom; ++y, to += surface->stride)
            fillPixels(to, qRgb(0, 0, 0), count);
        return;
    }
    const QRgb* from = picture + (top - rect.top()) * rect.width() + (left - rect.left());
    for (int y = top; y < bottom; ++y, to += surface->stride, from += rect.width())
        copyPixels(to, from, count);
}

void MapCellPainter::drawOpaqueText(QPainter& painter, const QString& text, QPoint topLeft,
                                    const QColor& background, const QColor& foreground) {
    const QFontMetrics metrics(m_font);
    const QRect box(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height()));
    painter.fillRect(box, background);
    painter.setPen(foreground);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

QRect MapCellPainter::staticsMarkerRect(const QRect& cell) {
    const int width = std::max(cell.width() / 2, 1);
    const int height = std::max(cell.height() / 2, 1);
    return {cell.left() + (cell.width() - width) / 2, cell.top() + (cell.height() - height) / 2,
            width, height};
}

void MapCellPainter::drawStatics(QPainter& painter, const PixelSurface* surface, int x, int y,
                                 const QRect& rect) {
    if (!drawsItemArt(std::min(rect.width(), rect.height()))) {
        drawStaticsMarker(painter, surface, x, y, rect);
        return;
    }
    if (!m_map->contains(x, y))
        return;
    if (surface)
        m_items.drawCellItems(*surface, x, y, rect);
    else
        m_items.drawCellItems(painter, x, y, rect);
}

// The cells with statics are found through the row's marker list, so cells without any
// cost nothing. A composed picture is the land's pixels with the items blended over them
// exactly as over the copied land in the target, so both ways give the same pixels.
void MapCellPainter::composeRowItems(int row, int firstCol, int lastCol) {
    m_drawnOver.clear();
    m_drawnOverItems.clear();
    const int from = std::max(firstCol, 0);
    const int until = std::min(lastCol, m_map->width() - 1);
    if (row < 0 || row >= m_map->height() || from > until)
        return;
    m_composed.beginRow();
    const QRect rect(0, 0, m_cacheWidth, m_cacheHeight);
    const std::size_t pixels = std::size_t(m_cacheWidth) * std::size_t(m_cacheHeight);
    for (const CellMarker& m : markerBand(row / 8, from / 8, until / 8).rows[row % 8]) {
        if (m.col < from || m.col > until)
            continue;
        const std::span<const tb::StaticRecord> items = m_items.cellItems(m.col, row);
        if (items.empty())
            continue;
        const QRgb*& picture = m_rowPictures[std::size_t(m.col - firstCol)];
        const ComposedCellCache::Picture composed = m_composed.find(picture, items);
        if (!composed.pixels) {
            // Kept, so the items are not collected a second time to be drawn.
            m_drawnOver.push_back({m.col, m_drawnOverItems.size(), items.size()});
            m_drawnOverItems.insert(m_drawnOverItems.end(), items.begin(), items.end());
            continue;
        }
        if (!composed.composed) {
            std::copy_n(picture, pixels, composed.pixels);
            m_items.drawItems({composed.pixels, m_cacheWidth, m_cacheHeight, m_cacheWidth}, items,
                              rect);
        }
        picture = composed.pixels;
    }
}

// The outline is the marker filled dark with its inside then filled in colour, the same
// pixels whether they go through the painter or straight into the surface.
void MapCellPainter::drawStaticsMarker(QPainter& painter, const PixelSurface* surface, int x, int y,
                                       const QRect& rect) {
    const tb::StaticCell* statics = m_map->contains(x, y) ? m_statics->cell(x, y) : nullptr;
    if (!statics)
        return;
    const QRgb colour = staticsMarkerColour(*statics);
    const QRect marker = staticsMarkerRect(rect);
    const bool outlined = markerIsOutlined(marker);
    if (surface) {
        drawMarkerPixels(*surface, marker, outlined, colour, kStaticsMarkerOutlineColour.rgb());
    } else if (outlined) {
        painter.fillRect(marker, kStaticsMarkerOutlineColour);
        painter.fillRect(marker.adjusted(1, 1, -1, -1), QColor::fromRgb(colour));
    } else {
        painter.fillRect(marker, QColor::fromRgb(colour));
    }
}

// The markers wholly inside the surface form one run of the row's list: every column
// between two such markers is inside too. Markers the view does not show are skipped at the
// list's ends, where the cut ones are, too.
std::span<const CellMarker> MapCellPainter::rowMarkers(int surfaceWidth, int row, int firstCol,
                                                       int lastCol, const QRect& firstMarker,
                                                       int stepX) {
    m_cutMarkers.clear();
    const int from = std::max(firstCol, 0);
    const int until = std::min(lastCol, m_map->width() - 1);
    if (row < 0 || row >= m_map->height() || from > until)
        return {};
    const std::vector<CellMarker>& all = markerBand(row / 8, from / 8, until / 8).rows[row % 8];
    const int width = firstMarker.width();
    auto shown = [&](const CellMarker& m) { return m.col >= from && m.col <= until; };
    auto whole = [&](const CellMarker& m) {
        const int left = firstMarker.left() + (m.col - firstCol) * stepX;
        return left >= 0 && left + width <= surfaceWidth;
    };
    const CellMarker* begin = all.data();
    const CellMarker* end = begin + all.size();
    for (; begin != end && !(shown(*begin) && whole(*begin)); ++begin)
        if (shown(*begin))
            m_cutMarkers.push_back(*begin);
    for (; end != begin && !(shown(end[-1]) && whole(end[-1]));)
        if (shown(*--end))
            m_cutMarkers.push_back(*end);
    return {begin, end};
}

// A band is built from the blocks' masks, so cells without statics cost next to nothing.
const MapCellPainter::MarkerBand& MapCellPainter::markerBand(int blockRow, int firstBlockCol,
                                                             int lastBlockCol) {
    if (m_bands.size() != std::size_t(m_statics->heightBlocks()))
        m_bands.assign(std::size_t(m_statics->heightBlocks()), {});
    MarkerBand& band = m_bands[std::size_t(blockRow)];
    if (firstBlockCol == band.firstBlockCol && lastBlockCol == band.lastBlockCol)
        return band;
    for (std::vector<CellMarker>& markers : band.rows)
        markers.clear();
    for (int blockCol = firstBlockCol; blockCol <= lastBlockCol; ++blockCol) {
        const tb::BlockStatics block = m_statics->block(blockCol, blockRow);
        // The summaries follow the mask's bits, row by row, each row left to right.
        const tb::StaticCell* cell = block.cells;
        for (std::uint64_t bits = block.mask; bits != 0; bits &= bits - 1, ++cell) {
            const int bit = std::countr_zero(bits);
            band.rows[std::size_t(bit / 8)].push_back(
                {blockCol * 8 + bit % 8, staticsMarkerColour(*cell)});
        }
    }
    band.firstBlockCol = firstBlockCol;
    band.lastBlockCol = lastBlockCol;
    return band;
}

bool MapCellPainter::anyBookmarkEnabled() const {
    return m_bookmarks && std::any_of(m_bookmarks->begin(), m_bookmarks->end(),
                                      [](const CellBookmark& b) { return b.enabled; });
}

void MapCellPainter::drawCell(QPainter& painter, const PixelSurface* surface, int x, int y,
                              const QRect& rect, bool selected) {
    drawCellIn(painter, surface, x, y, rect, selected, anyBookmarkEnabled(), false);
}

// A row of cells. With direct pixel access the pictures (steps 1-3 of every cell) are
// laid down first, scanline by scanline, so the target is written in address order, each
// scanline's statics markers right over it; then each cell that needs more (frame, altitude,
// bookmark) runs its remaining steps. Cells never draw outside their own rectangle, so the
// result is the same as cell by cell.
void MapCellPainter::drawRow(QPainter& painter, const PixelSurface* surface, int row, int firstCol,
                             int lastCol, const QRect& firstRect, int stepX, int selectedCol) {
    const bool bookmarks = anyBookmarkEnabled();
    const bool onlyColour = m_switches.altitudeOn && m_switches.showOnlyColor;
    const bool batch = surface && !onlyColour && m_cacheEnabled && lastCol >= firstCol;
    if (batch) {
        const int width = firstRect.width();
        const int height = firstRect.height();
        const int count = lastCol - firstCol + 1;
        // Cells without a picture copy a black one, so the copy loop has no branch.
        keepSize(width, height);
        m_rowPictures.assign(std::size_t(count), m_black.data());
        if (m_map && m_art)
            rowPictures(row, firstCol, lastCol);
        const bool itemArt = drawsItemArt(std::min(width, height));
        if (itemArt)
            composeRowItems(row, firstCol, lastCol);
        // Cells wholly inside the target, then the one or two cut by its left or right edge.
        const int firstLeft = firstRect.left();
        int inFirst = 0;
        while (inFirst < count && firstLeft + inFirst * stepX < 0)
            ++inFirst;
        int inLast = count - 1;
        while (inLast >= inFirst && firstLeft + inLast * stepX + width > surface->width)
            --inLast;
        // The statics markers go down line by line right after the pictures' lines, while
        // those are still in the cache.
        const QRect firstMarker = staticsMarkerRect(firstRect);
        const bool markersShown = staticsShown() && !itemArt;
        const std::span<const CellMarker> markers =
            markersShown ? rowMarkers(surface->width, row, firstCol, lastCol, firstMarker, stepX)
                         : std::span<const CellMarker>();
        const bool outlined = markerIsOutlined(firstMarker);
        const QRgb outline = kStaticsMarkerOutlineColour.rgb();
        const int markerTop = firstMarker.top();
        const int markerBottom = markerTop + firstMarker.height();
        const int top = std::max(firstRect.top(), 0);
        const int bottom = std::min(firstRect.top() + height, surface->height);
        for (int y = top; y < bottom; ++y) {
            QRgb* line = surface->bits + y * surface->stride;
            const int pictureRow = (y - firstRect.top()) * width;
            if (inFirst <= inLast)
                copyCellLines(line + firstLeft + inFirst * stepX, m_rowPictures.data(), inFirst,
                              inLast, stepX, pictureRow, width);
            for (int i : {inFirst - 1, inLast + 1}) {
                if (i < 0 || i >= count)
                    continue;
                const int left = firstLeft + i * stepX;
                const int from = std::max(left, 0);
                const int until = std::min(left + width, surface->width);
                if (from < until)
                    copyPixels(line + from,
                               m_rowPictures[std::size_t(i)] + pictureRow + (from - left),
                               until - from);
            }
            if (!markers.empty() && y >= markerTop && y < markerBottom) {
                const MarkerLine part = !outlined ? MarkerLine::Plain
                                        : y == markerTop || y == markerBottom - 1
                                            ? MarkerLine::Outline
                                            : MarkerLine::Middle;
                markerLine(line, firstMarker.left() - firstCol * stepX, stepX, markers,
                           firstMarker.width(), part, outline);
            }
        }
        // The one or two markers cut by the target's left or right edge.
        if (markersShown)
            for (const CellMarker& m : m_cutMarkers)
                drawMarkerPixels(*surface, firstMarker.translated((m.col - firstCol) * stepX, 0),
                                 outlined, m.colour, outline);
        if (itemArt)
            for (const DrawnOver& cell : m_drawnOver)
                m_items.drawItems(*surface,
                                  std::span<const tb::StaticRecord>(m_drawnOverItems)
                                      .subspan(cell.first, cell.count),
                                  firstRect.translated((cell.col - firstCol) * stepX, 0));
        if (!m_switches.altitudeOn && !bookmarks) {
            if (selectedCol >= firstCol && selectedCol <= lastCol)
                drawCellIn(painter, surface, selectedCol, row,
                           firstRect.translated((selectedCol - firstCol) * stepX, 0), true,
                           bookmarks, true);
            return;
        }
    }
    QRect rect = firstRect;
    for (int col = firstCol; col <= lastCol; ++col, rect.translate(stepX, 0))
        drawCellIn(painter, surface, col, row, rect, col == selectedCol, bookmarks, batch);
}

// The kept pictures of the cells firstCol..lastCol of `row` into m_rowPictures (black for
// none), read straight from the row's run through the map's blocks, eight cells per block.
void MapCellPainter::rowPictures(int row, int firstCol, int lastCol) {
    const int from = std::max(firstCol, 0);
    const int end = std::min(lastCol + 1, m_map->contains(0, row) ? m_map->width() : 0);
    if (from >= end)
        return;
    const std::size_t blockStride = std::size_t(m_map->variant()->heightBlocks()) * tb::kBlockSize;
    const unsigned char* rowCells = m_map->bytes().data() + std::size_t(row / 8) * tb::kBlockSize +
                                    tb::kBlockHeaderSize +
                                    std::size_t(row % 8) * tb::kCellsPerBlockSide * tb::kCellSize;
    const QRgb** pictures = m_rowPictures.data() + (from - firstCol);
    // A local, so the loop keeps it in a register: its stores could alias the member.
    const QRgb* const* kept = m_pictureOf.data();
    for (int x = from; x < end;) {
        const unsigned char* cell = rowCells + std::size_t(x / 8) * blockStride;
        const int blockEnd = std::min(end, (x / 8 + 1) * 8);
        for (cell += std::size_t(x % 8) * tb::kCellSize; x < blockEnd; ++x, cell += tb::kCellSize) {
            const auto tile = static_cast<std::uint16_t>(cell[0] | (cell[1] << 8));
            const QRgb* picture = kept[tile];
            if (static_cast<std::int8_t>(cell[2]) > m_maxZ) [[unlikely]]
                picture = m_black.data(); // above Max Z
            *pictures++ = picture ? picture : decodePicture(tile);
        }
    }
}

// The cell drawing, step by step; each step draws over the ones before.
void MapCellPainter::drawCellIn(QPainter& painter, const PixelSurface* surface, int x, int y,
                                const QRect& rect, bool selected, bool bookmarksShown,
                                bool pictureDrawn) {
    // 1-3: the picture of the tile (texture, else land tile, else black), with the statics
    // marker over it. "Show only Color" replaces the picture only while the altitude is
    // shown; otherwise nothing would cover the cell and it would keep stale pixels.
    // `pictureDrawn`: the row has laid down both already.
    std::optional<tb::MapCell> cell;
    if (m_map && m_map->contains(x, y))
        cell = m_map->cellUnchecked(x, y);
    const bool onlyColour = m_switches.altitudeOn && m_switches.showOnlyColor;
    if (!onlyColour && !pictureDrawn) {
        const QRgb* picture = cell && m_art && cell->altitude <= m_maxZ
                                  ? cachedPicture(cell->tileId, rect.width(), rect.height())
                                  : nullptr;
        drawPicture(painter, surface, picture, rect);
        if (staticsShown())
            drawStatics(painter, surface, x, y, rect);
    }

    // 4: the fill colour starts white (it only matters for the text steps below).
    // 5: the selection frame, inside the cell: blue while a stamp button is down.
    if (selected) {
        painter.setPen(m_switches.stampButtonDown ? kStampSelectionFrameColour
                                                  : kSelectionFrameColour);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    if (!m_switches.altitudeOn && !bookmarksShown)
        return;

    QColor fill = Qt::white;
    painter.save();
    painter.setClipRect(rect);
    painter.setFont(m_font);

    // 6-7: the altitude, black text on the fill colour.
    if (m_switches.altitudeOn) {
        const int z = cell ? cell->altitude : 0;
        if (m_switches.coloredAltitude)
            fill = toQColor(tb::altitudeColour(z));
        if (m_switches.showOnlyColor) {
            painter.fillRect(rect, fill);
            // The statics stay in view over the colour, as they do over the picture.
            if (staticsShown())
                drawStatics(painter, nullptr, x, y, rect);
        }
        const QString text = m_switches.showNumber ? QString(" %1 ").arg(z) : QString(4, ' ');
        drawOpaqueText(painter, text, rect.topLeft() + QPoint(1, 1), fill, Qt::black);
    }

    // 8: bookmark labels, navy with white text, the highest number last.
    if (bookmarksShown) {
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

} // namespace tbrender

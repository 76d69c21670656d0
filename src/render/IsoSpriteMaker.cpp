#include "render/IsoSpriteMaker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace tbrender {
namespace {

using tb::iso::kHalfTile;
using tb::iso::ScreenPoint;

constexpr int kArtSide = 2 * kHalfTile;

// A 15-bit colour as tb::rgb555ToColor gives it (each channel times 8), opaque.
inline QRgb opaqueColour(std::uint32_t pixel) {
    return 0xFF000000u | (pixel & 0x7C00u) << 9 | (pixel & 0x03E0u) << 6 | (pixel & 0x001Fu) << 3;
}

// The grid's line over a pixel: half its brightness.
QRgb gridLine(QRgb pixel) {
    return 0xFF000000u | ((pixel >> 1) & 0x7F7F7Fu);
}

// Darkens the pixels of the line from `from` to `to` (Bresenham) that the sprite draws, or
// the one below a pixel it does not draw: the upper edges of a tile, so each edge between
// two tiles is drawn once. `fromDone`: the first point belongs to a line drawn already.
void darkenEdge(IsoSprite& sprite, ScreenPoint from, ScreenPoint to, bool fromDone = false) {
    const int dx = std::abs(to.x - from.x), sx = from.x < to.x ? 1 : -1;
    const int dy = -std::abs(to.y - from.y), sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    int x = from.x, y = from.y;
    for (bool first = true;; first = false) {
        QRgb* p = first && fromDone ? nullptr : sprite.drawnPixel(x, y);
        if (!p && !(first && fromDone))
            p = sprite.drawnPixel(x, y + 1);
        if (p)
            *p = gridLine(*p);
        if (x == to.x && y == to.y)
            break;
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y += sy;
        }
    }
}

// A double in 1/65536, rounded.
std::int32_t fixed16(double value) {
    return std::int32_t(std::floor(value * 65536.0 + 0.5));
}

// The coefficients of f(x, y) = a x + b y + c through three points' values.
struct Plane {
    double a = 0, b = 0, c = 0;
};
Plane planeThrough(const std::array<ScreenPoint, 3>& p, const std::array<double, 3>& f) {
    const double x1 = p[1].x - p[0].x, y1 = p[1].y - p[0].y;
    const double x2 = p[2].x - p[0].x, y2 = p[2].y - p[0].y;
    const double det = x1 * y2 - x2 * y1;
    const double f1 = f[1] - f[0], f2 = f[2] - f[0];
    Plane plane;
    plane.a = (f1 * y2 - f2 * y1) / det;
    plane.b = (x1 * f2 - x2 * f1) / det;
    plane.c = f[0] - plane.a * p[0].x - plane.b * p[0].y;
    return plane;
}

} // namespace

IsoSprite makeLandTileSprite(const tb::Image15& diamond, int half, bool grid) {
    const int side = 2 * half;
    IsoSprite sprite;
    sprite.width = side;
    sprite.height = side;
    sprite.rowRun.reserve(std::size_t(side) + 1);
    sprite.runs.reserve(std::size_t(side));
    sprite.pixels.reserve(std::size_t(half) * std::size_t(side + 2));
    std::vector<QRgb> row(static_cast<std::size_t>(side));
    for (int y = 0; y < side; ++y) {
        const tb::iso::RowSpan span = tb::iso::diamondRow(y, half);
        const int sy0 = y * kArtSide / side;
        const int sy1 = std::max(sy0 + 1, ((y + 1) * kArtSide + side - 1) / side);
        for (int x = span.first; x < span.end; ++x) {
            if (half == kHalfTile) {
                row[std::size_t(x)] = opaqueColour(diamond.at(x, y));
                continue;
            }
            // The mean of the art's pixels under this one.
            const int sx0 = x * kArtSide / side;
            const int sx1 = std::max(sx0 + 1, ((x + 1) * kArtSide + side - 1) / side);
            int sum[3] = {0, 0, 0}, count = 0;
            for (int sy = sy0; sy < sy1; ++sy)
                for (int sx = sx0; sx < sx1; ++sx) {
                    const std::uint16_t p = diamond.at(sx, sy);
                    if (!(p & tb::kDiamondPixel))
                        continue;
                    sum[0] += (p >> 10) & 31;
                    sum[1] += (p >> 5) & 31;
                    sum[2] += p & 31;
                    ++count;
                }
            if (count > 0) {
                row[std::size_t(x)] =
                    qRgb(sum[0] * 8 / count, sum[1] * 8 / count, sum[2] * 8 / count);
            } else {
                // An edge pixel of a scaled diamond over no drawn pixel of the art: the
                // nearest of the art's row.
                const int sy = std::clamp((2 * y + 1) * kArtSide / (2 * side), 0, kArtSide - 1);
                const tb::iso::RowSpan artRow = tb::iso::diamondRow(sy);
                const int sx =
                    std::clamp((2 * x + 1) * kArtSide / (2 * side), artRow.first, artRow.end - 1);
                row[std::size_t(x)] = opaqueColour(diamond.at(sx, sy));
            }
        }
        sprite.beginRow();
        sprite.addRun(span.first, row.data() + span.first, span.end - span.first, true);
    }
    sprite.endRows();
    if (grid) {
        darkenEdge(sprite, {half, 0}, {0, half});
        darkenEdge(sprite, {half, 0}, {side - 1, half - 1}, true);
    }
    return sprite;
}

IsoSprite makeStretchedTileSprite(const tb::Image15& texture, const tb::iso::Quad& quad,
                                  const tb::iso::CornerLights& lights, bool grid) {
    const tb::iso::ScreenRect bounds = tb::iso::quadBounds(quad);
    const int width = bounds.right - bounds.left;
    const int height = std::max(bounds.bottom - bounds.top, 0);
    const int size = texture.width;
    const int lastTexel = size - 1;
    // Texture coordinates (in texels) and light (in 1/256) at the corners, in the
    // triangles' order.
    struct Corner {
        ScreenPoint at;
        double u, v, light;
    };
    const double s = size;
    const Corner top{quad.top, 0, 0, lights.top * 256}, right{quad.right, s, 0, lights.right * 256},
        bottom{quad.bottom, s, s, lights.bottom * 256}, left{quad.left, 0, s, lights.left * 256};
    struct Face {
        tb::iso::TriangleRows rows;
        Plane u, v, light;
        bool seen;
    };
    const auto face = [](const Corner& a, const Corner& b, const Corner& c) {
        const std::array<ScreenPoint, 3> at{a.at, b.at, c.at};
        const bool seen =
            (at[1].x - at[0].x) * (at[2].y - at[0].y) - (at[2].x - at[0].x) * (at[1].y - at[0].y) !=
            0;
        return Face{tb::iso::TriangleRows(tb::iso::Triangle{at}),
                    seen ? planeThrough(at, {a.u, b.u, c.u}) : Plane{},
                    seen ? planeThrough(at, {a.v, b.v, c.v}) : Plane{},
                    seen ? planeThrough(at, {a.light, b.light, c.light}) : Plane{}, seen};
    };
    const std::array<Face, 2> faces{face(top, right, left), face(right, bottom, left)};

    IsoSprite sprite;
    sprite.width = width;
    sprite.height = height;
    sprite.offset = QPoint(bounds.left, bounds.top);
    sprite.rowRun.reserve(std::size_t(height) + 1);
    sprite.pixels.reserve(std::size_t(width) * std::size_t(height) / 2 + 64);
    // One row at a time: both faces' pixels (the second over the first where a steep tile
    // folds), then its runs.
    std::vector<QRgb> row(static_cast<std::size_t>(width), 0);
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        int first = width, end = 0;
        for (const Face& f : faces) {
            const std::optional<tb::iso::RowSpan> span = f.seen ? f.rows.row(y) : std::nullopt;
            if (!span)
                continue;
            first = std::min(first, span->first - bounds.left);
            end = std::max(end, span->end - bounds.left);
            // The attributes at the first pixel's centre, then a step per pixel.
            const double xc = span->first + 0.5, yc = y + 0.5;
            std::int32_t tu = fixed16(f.u.a * xc + f.u.b * yc + f.u.c);
            std::int32_t tv = fixed16(f.v.a * xc + f.v.b * yc + f.v.c);
            std::int32_t l = fixed16(f.light.a * xc + f.light.b * yc + f.light.c);
            const std::int32_t du = fixed16(f.u.a), dv = fixed16(f.v.a), dl = fixed16(f.light.a);
            QRgb* out = row.data() - bounds.left;
            for (int x = span->first; x < span->end; ++x, tu += du, tv += dv, l += dl) {
                const int tx = std::clamp(tu >> 16, 0, lastTexel);
                const int ty = std::clamp(tv >> 16, 0, lastTexel);
                const std::uint32_t texel = texture.pixels[std::size_t(ty * size + tx)];
                const std::uint32_t k = std::uint32_t(std::clamp(l >> 16, 0, 256));
                // Each 5-bit channel times 8, times the light.
                const std::uint32_t r = (((texel >> 10) & 31) * 8 * k) >> 8;
                const std::uint32_t g = (((texel >> 5) & 31) * 8 * k) >> 8;
                const std::uint32_t b = ((texel & 31) * 8 * k) >> 8;
                out[x] = 0xFF000000u | r << 16 | g << 8 | b;
            }
        }
        sprite.beginRow();
        // Pixels between two faces' spans that neither drew are left out.
        for (int x = first; x < end;) {
            if (row[std::size_t(x)] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < end && row[std::size_t(x)] != 0)
                ++x;
            sprite.addRun(start, row.data() + start, x - start, true);
        }
        if (first < end)
            std::fill(row.begin() + first, row.begin() + end, 0);
    }
    sprite.endRows();
    if (grid) {
        const auto local = [&](ScreenPoint p) {
            return ScreenPoint{p.x - bounds.left, p.y - bounds.top};
        };
        darkenEdge(sprite, local(quad.top), local(quad.left));
        darkenEdge(sprite, local(quad.top), local({quad.right.x - 1, quad.right.y}), true);
    }
    return sprite;
}

IsoSprite makeItemSprite(const tb::ItemImage& art, const tb::HueEntry* hue, bool onlyGrey,
                         bool translucent, int half) {
    std::vector<QRgb> pixels(art.pixels.size(), 0);
    const std::uint32_t alpha = translucent ? std::uint32_t(tb::kTranslucentAlpha) : 255;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        std::uint16_t p = art.pixels[i];
        if (!(p & tb::ItemImage::kOpaque))
            continue;
        if (hue)
            p = tb::huePixel(p, *hue, onlyGrey);
        const QRgb colour = opaqueColour(p);
        pixels[i] =
            alpha == 255
                ? colour
                : qPremultiply(qRgba(qRed(colour), qGreen(colour), qBlue(colour), int(alpha)));
    }
    if (half == kHalfTile)
        return IsoSprite::fromPixels(pixels.data(), art.width, art.height, art.width);
    const QImage image(reinterpret_cast<const uchar*>(pixels.data()), art.width, art.height,
                       qsizetype(art.width) * qsizetype(sizeof(QRgb)),
                       QImage::Format_ARGB32_Premultiplied);
    return IsoSprite::fromImage(image.scaled(tb::iso::scaledLength(art.width, half),
                                             tb::iso::scaledLength(art.height, half),
                                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace tbrender

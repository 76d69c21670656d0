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

QRgb opaqueColour(std::uint16_t pixel) {
    const tb::Rgb c = tb::rgb555ToColor(pixel);
    return qRgb(c.red, c.green, c.blue);
}

// The grid's line over a pixel: half its brightness.
QRgb gridLine(QRgb pixel) {
    return 0xFF000000u | ((pixel >> 1) & 0x7F7F7Fu);
}

// Darkens the pixels of the line from `from` to `to` (Bresenham) that the picture draws,
// or the one below a pixel it does not draw: the upper edges of a tile, so each edge
// between two tiles is drawn once.
void darkenEdge(std::vector<QRgb>& pixels, int width, int height, ScreenPoint from,
                ScreenPoint to) {
    const auto drawn = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               qAlpha(pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]) != 0;
    };
    const int dx = std::abs(to.x - from.x), sx = from.x < to.x ? 1 : -1;
    const int dy = -std::abs(to.y - from.y), sy = from.y < to.y ? 1 : -1;
    int error = dx + dy;
    int x = from.x, y = from.y;
    for (;;) {
        for (int below = 0; below < 2; ++below) {
            if (drawn(x, y + below)) {
                QRgb& p = pixels[std::size_t(y + below) * std::size_t(width) + std::size_t(x)];
                p = gridLine(p);
                break;
            }
        }
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
    std::vector<QRgb> pixels(std::size_t(side) * std::size_t(side), 0);
    const auto artAt = [&](int x, int y) { return diamond.at(x, y); };
    for (int y = 0; y < side; ++y) {
        const tb::iso::RowSpan row = tb::iso::diamondRow(y, half);
        const int sy0 = y * kArtSide / side;
        const int sy1 = std::max(sy0 + 1, ((y + 1) * kArtSide + side - 1) / side);
        for (int x = row.first; x < row.end; ++x) {
            const int sx0 = x * kArtSide / side;
            const int sx1 = std::max(sx0 + 1, ((x + 1) * kArtSide + side - 1) / side);
            int sum[3] = {0, 0, 0}, count = 0;
            for (int sy = sy0; sy < sy1; ++sy)
                for (int sx = sx0; sx < sx1; ++sx) {
                    const std::uint16_t p = artAt(sx, sy);
                    if (!(p & tb::kDiamondPixel))
                        continue;
                    sum[0] += (p >> 10) & 31;
                    sum[1] += (p >> 5) & 31;
                    sum[2] += p & 31;
                    ++count;
                }
            QRgb colour;
            if (count > 0) {
                colour = qRgb(sum[0] * 8 / count, sum[1] * 8 / count, sum[2] * 8 / count);
            } else {
                // An edge pixel of a scaled diamond over no drawn pixel of the art: the
                // nearest of the art's row.
                const int sy = std::clamp((2 * y + 1) * kArtSide / (2 * side), 0, kArtSide - 1);
                const tb::iso::RowSpan artRow = tb::iso::diamondRow(sy);
                const int sx =
                    std::clamp((2 * x + 1) * kArtSide / (2 * side), artRow.first, artRow.end - 1);
                colour = opaqueColour(artAt(sx, sy));
            }
            pixels[std::size_t(y) * std::size_t(side) + std::size_t(x)] = colour;
        }
    }
    if (grid) {
        darkenEdge(pixels, side, side, {half, 0}, {0, half});
        darkenEdge(pixels, side, side, {half, 0}, {side - 1, half - 1});
    }
    return IsoSprite::fromPixels(pixels.data(), side, side, side);
}

IsoSprite makeTextureSprite(const tb::Image15& texture) {
    IsoSprite sprite;
    sprite.width = texture.width;
    sprite.height = texture.height;
    sprite.pixels.reserve(texture.pixels.size());
    for (const std::uint16_t p : texture.pixels)
        sprite.pixels.push_back(opaqueColour(p));
    return sprite;
}

IsoSprite makeStretchedTileSprite(const IsoSprite& texture, const tb::iso::Quad& quad,
                                  const tb::iso::CornerLights& lights, bool grid) {
    const tb::iso::ScreenRect bounds = tb::iso::quadBounds(quad);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    std::vector<QRgb> pixels(std::size_t(width) * std::size_t(std::max(height, 0)), 0);
    const int size = texture.width;
    // Texture coordinates (0..1) and light at the corners, in the triangles' order.
    struct Corner {
        ScreenPoint at;
        double u, v, light;
    };
    const Corner top{quad.top, 0, 0, lights.top}, right{quad.right, 1, 0, lights.right},
        bottom{quad.bottom, 1, 1, lights.bottom}, left{quad.left, 0, 1, lights.left};
    const std::array<std::array<Corner, 3>, 2> triangles{
        {{top, right, left}, {right, bottom, left}}};
    for (const auto& corners : triangles) {
        const tb::iso::Triangle triangle{{corners[0].at, corners[1].at, corners[2].at}};
        const std::array<ScreenPoint, 3> at = triangle.p;
        if ((at[1].x - at[0].x) * (at[2].y - at[0].y) - (at[2].x - at[0].x) * (at[1].y - at[0].y) ==
            0)
            continue; // seen edge-on: no pixels
        const Plane u = planeThrough(at, {corners[0].u, corners[1].u, corners[2].u});
        const Plane v = planeThrough(at, {corners[0].v, corners[1].v, corners[2].v});
        const Plane light =
            planeThrough(at, {corners[0].light, corners[1].light, corners[2].light});
        for (int y = bounds.top; y < bounds.bottom; ++y) {
            const std::optional<tb::iso::RowSpan> span = tb::iso::triangleRow(triangle, y);
            if (!span)
                continue;
            const double yc = y + 0.5;
            QRgb* line = pixels.data() + std::size_t(y - bounds.top) * std::size_t(width);
            for (int x = span->first; x < span->end; ++x) {
                const double xc = x + 0.5;
                const int tx = std::clamp(int((u.a * xc + u.b * yc + u.c) * size), 0, size - 1);
                const int ty = std::clamp(int((v.a * xc + v.b * yc + v.c) * size), 0, size - 1);
                const double l = std::clamp(light.a * xc + light.b * yc + light.c, 0.0, 1.0);
                const QRgb texel =
                    texture.pixels[std::size_t(ty) * std::size_t(size) + std::size_t(tx)];
                line[x - bounds.left] =
                    qRgb(int(qRed(texel) * l + 0.5), int(qGreen(texel) * l + 0.5),
                         int(qBlue(texel) * l + 0.5));
            }
        }
    }
    if (grid) {
        const ScreenPoint origin{bounds.left, bounds.top};
        const auto local = [&](ScreenPoint p) {
            return ScreenPoint{p.x - origin.x, p.y - origin.y};
        };
        const ScreenPoint rightEnd{quad.right.x - 1, quad.right.y};
        darkenEdge(pixels, width, height, local(quad.top), local(quad.left));
        darkenEdge(pixels, width, height, local(quad.top), local(rightEnd));
    }
    return IsoSprite::fromPixels(pixels.data(), width, height, width,
                                 QPoint(bounds.left, bounds.top));
}

IsoSprite makeItemSprite(const tb::ItemImage& art, const tb::HueEntry* hue, bool onlyGrey,
                         bool translucent, int half) {
    QImage image(art.width, art.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int alpha = translucent ? tb::kTranslucentAlpha : 255;
    for (int y = 0; y < art.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < art.width; ++x) {
            std::uint16_t p = art.pixels[std::size_t(y) * std::size_t(art.width) + std::size_t(x)];
            if (!(p & tb::ItemImage::kOpaque))
                continue;
            if (hue)
                p = tb::huePixel(p, *hue, onlyGrey);
            const tb::Rgb c = tb::rgb555ToColor(p);
            line[x] = qPremultiply(qRgba(c.red, c.green, c.blue, alpha));
        }
    }
    if (half != kHalfTile)
        image = image.scaled(tb::iso::scaledLength(art.width, half),
                             tb::iso::scaledLength(art.height, half), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    return IsoSprite::fromImage(image);
}

} // namespace tbrender

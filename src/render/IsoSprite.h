#pragma once
// A picture of the isometric painter: premultiplied pixels kept as runs per row, the
// transparent ones left out, so drawing one is a copy per run (a blend for runs that are
// partly see-through) and asking whether a pixel is drawn is a look at one row's runs.

#include "render/PixelSurface.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tbrender {

struct IsoSprite {
    struct Run {
        std::uint32_t first = 0; // its first pixel in `pixels`
        std::int16_t x = 0;
        std::int16_t length = 0;
        bool opaque = false; // every pixel fully opaque: copied, not blended
    };
    int width = 0;
    int height = 0;
    // Where the picture's top-left lies from the point it is drawn for (a stretched tile
    // rises above its top corner).
    QPoint offset;
    std::vector<Run> runs;             // row by row, left to right
    std::vector<std::uint32_t> rowRun; // height + 1 entries: row y's runs are [y], [y + 1]
    std::vector<QRgb> pixels;          // the runs' pixels one after another
    bool opaque = true;                // every run is
    mutable std::uint64_t lastUse = 0; // the frame that last drew it (IsoSpriteCache)

    // Building a sprite row by row, for makers that know their runs: each row begun (all
    // `height` of them, top to bottom), then its runs left to right, then the rows ended.
    void beginRow() { rowRun.push_back(std::uint32_t(runs.size())); }
    void addRun(int x, const QRgb* from, int count, bool runOpaque);
    void endRows() { rowRun.push_back(std::uint32_t(runs.size())); }

    // The sprite of `width` x `height` premultiplied pixels, `stride` pixels a row apart;
    // pixels of alpha 0 are left out.
    static IsoSprite fromPixels(const QRgb* pixels, int width, int height, qsizetype stride,
                                QPoint offset = {});
    // The same from a 32-bit image (converted to premultiplied ARGB first).
    static IsoSprite fromImage(const QImage& image, QPoint offset = {});

    // Whether pixel (x, y) of the picture is drawn (not fully transparent).
    bool covers(int x, int y) const;
    // The pixel at (x, y), 0 where nothing is drawn.
    QRgb pixelAt(int x, int y) const;
    // The same to change; nullptr where nothing is drawn.
    QRgb* drawnPixel(int x, int y);
    // The picture as an image of premultiplied ARGB, transparent where nothing is drawn.
    QImage toImage() const;
    // The memory it takes, roughly.
    std::size_t bytes() const;
};

// Draws `sprite` with its top-left at (left, top) of `surface`, only inside `clip` (which
// lies inside the surface).
void drawSprite(const PixelSurface& surface, const IsoSprite& sprite, int left, int top,
                const QRect& clip);

// `colour` (premultiplied) over `under`, for a surface whose pixels are opaque.
inline QRgb blendOver(QRgb colour, QRgb under) {
    const std::uint32_t alpha = qAlpha(colour);
    if (alpha == 255)
        return colour;
    const std::uint32_t keep = 255 - alpha;
    // Two channels at a time, each times keep / 255 rounded.
    std::uint32_t rb = (under & 0xFF00FFu) * keep;
    rb = ((rb + ((rb >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    std::uint32_t ag = ((under >> 8) & 0xFF00FFu) * keep;
    ag = (ag + ((ag >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
    return colour + (rb | ag);
}

} // namespace tbrender

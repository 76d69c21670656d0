#pragma once
// The 32-bit pixels of a picture being painted, for code that writes pixels directly
// instead of through a QPainter (the map view's cells at small zoom are a few pixels each,
// where a painter call costs more than the pixels).

#include <QImage>
#include <QRgb>

#include <cstring>

namespace tbrender {

struct PixelSurface {
    QRgb* bits = nullptr;
    int width = 0;
    int height = 0;
    qsizetype stride = 0; // in pixels

    // The pixels of a 32-bit image (RGB32 or ARGB32).
    static PixelSurface of(QImage& image) {
        return {reinterpret_cast<QRgb*>(image.bits()), image.width(), image.height(),
                image.bytesPerLine() / qsizetype(sizeof(QRgb))};
    }
};

// Copies `count` pixels. Cells and the runs of item pictures are a few pixels wide at most
// zoom levels, where a call to the library's memcpy per line costs more than the copy
// itself: short lines go in fixed-size pieces that the compiler turns into plain moves.
inline void copyPixels(QRgb* to, const QRgb* from, int count) {
    if (count >= 32) {
        std::memcpy(to, from, std::size_t(count) * sizeof(QRgb));
        return;
    }
    int i = 0;
    for (; i + 4 <= count; i += 4)
        std::memcpy(to + i, from + i, 4 * sizeof(QRgb));
    switch (count - i) {
    case 3:
        to[i + 2] = from[i + 2];
        [[fallthrough]];
    case 2:
        to[i + 1] = from[i + 1];
        [[fallthrough]];
    case 1:
        to[i] = from[i];
        break;
    default:
        break;
    }
}

} // namespace tbrender

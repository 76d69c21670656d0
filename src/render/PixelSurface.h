#pragma once
// The 32-bit pixels of a picture being painted, for code that writes pixels directly
// instead of through a QPainter (the map view's cells at small zoom are a few pixels each,
// where a painter call costs more than the pixels).

#include <QImage>
#include <QRgb>

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

} // namespace tbrender

#include "render/IsoSprite.h"

#include <algorithm>

namespace tbrender {

IsoSprite IsoSprite::fromPixels(const QRgb* pixels, int width, int height, qsizetype stride,
                                QPoint offset) {
    IsoSprite sprite;
    sprite.width = width;
    sprite.height = height;
    sprite.offset = offset;
    sprite.rowRun.reserve(std::size_t(height) + 1);
    for (int y = 0; y < height; ++y) {
        sprite.rowRun.push_back(std::uint32_t(sprite.runs.size()));
        const QRgb* line = pixels + y * stride;
        int x = 0;
        while (x < width) {
            if (qAlpha(line[x]) == 0) {
                ++x;
                continue;
            }
            Run run;
            run.first = std::uint32_t(sprite.pixels.size());
            run.x = std::int16_t(x);
            run.opaque = true;
            // A run ends at a transparent pixel; it is blended when any of its pixels is
            // see-through (an opaque pixel blends to itself), else copied.
            while (x < width && qAlpha(line[x]) != 0) {
                run.opaque = run.opaque && qAlpha(line[x]) == 255;
                sprite.pixels.push_back(line[x]);
                ++x;
            }
            run.length = std::int16_t(x - run.x);
            sprite.runs.push_back(run);
        }
    }
    sprite.rowRun.push_back(std::uint32_t(sprite.runs.size()));
    sprite.runs.shrink_to_fit();
    sprite.pixels.shrink_to_fit();
    return sprite;
}

IsoSprite IsoSprite::fromImage(const QImage& image, QPoint offset) {
    const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return fromPixels(reinterpret_cast<const QRgb*>(premultiplied.constBits()),
                      premultiplied.width(), premultiplied.height(),
                      premultiplied.bytesPerLine() / qsizetype(sizeof(QRgb)), offset);
}

QRgb IsoSprite::pixelAt(int x, int y) const {
    if (y < 0 || y >= height || x < 0 || x >= width)
        return 0;
    for (std::uint32_t r = rowRun[std::size_t(y)]; r < rowRun[std::size_t(y) + 1]; ++r) {
        const Run& run = runs[r];
        if (x >= run.x && x < run.x + run.length)
            return pixels[run.first + std::uint32_t(x - run.x)];
    }
    return 0;
}

bool IsoSprite::covers(int x, int y) const {
    return qAlpha(pixelAt(x, y)) != 0;
}

QImage IsoSprite::toImage() const {
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::uint32_t r = rowRun[std::size_t(y)]; r < rowRun[std::size_t(y) + 1]; ++r)
            std::copy_n(pixels.begin() + runs[r].first, runs[r].length, line + runs[r].x);
    }
    return image;
}

std::size_t IsoSprite::bytes() const {
    return sizeof(IsoSprite) + runs.capacity() * sizeof(Run) +
           rowRun.capacity() * sizeof(std::uint32_t) + pixels.capacity() * sizeof(QRgb);
}

void drawSprite(const PixelSurface& surface, const IsoSprite& sprite, int left, int top,
                const QRect& clip) {
    const int firstY = std::max(clip.top(), top);
    const int endY = std::min(clip.bottom() + 1, top + sprite.height);
    const int clipLeft = clip.left();
    const int clipEnd = clip.right() + 1;
    for (int y = firstY; y < endY; ++y) {
        QRgb* line = surface.bits + qsizetype(y) * surface.stride;
        const std::size_t row = std::size_t(y - top);
        for (std::uint32_t r = sprite.rowRun[row]; r < sprite.rowRun[row + 1]; ++r) {
            const IsoSprite::Run& run = sprite.runs[r];
            int x = left + run.x;
            int count = run.length;
            const QRgb* from = sprite.pixels.data() + run.first;
            if (x < clipLeft) {
                from += clipLeft - x;
                count -= clipLeft - x;
                x = clipLeft;
            }
            count = std::min(count, clipEnd - x);
            if (count <= 0)
                continue;
            if (run.opaque) {
                copyPixels(line + x, from, count);
            } else {
                for (int i = 0; i < count; ++i)
                    line[x + i] = blendOver(from[i], line[x + i]);
            }
        }
    }
}

} // namespace tbrender

#include "render/IsoSprite.h"

#include <algorithm>
#include <cstring>

namespace tbrender {

void IsoSprite::addRun(int x, const QRgb* from, int count, bool runOpaque) {
    Run run;
    run.first = std::uint32_t(pixels.size());
    run.x = std::int16_t(x);
    run.length = std::int16_t(count);
    run.opaque = runOpaque;
    const std::size_t at = pixels.size();
    pixels.resize(at + std::size_t(count));
    copyPixels(pixels.data() + at, from, count);
    opaque = opaque && runOpaque;
    runs.push_back(run);
}

IsoSprite IsoSprite::fromPixels(const QRgb* pixels, int width, int height, qsizetype stride,
                                QPoint offset) {
    IsoSprite sprite;
    sprite.width = width;
    sprite.height = height;
    sprite.offset = offset;
    sprite.rowRun.reserve(std::size_t(height) + 1);
    sprite.pixels.reserve(std::size_t(width) * std::size_t(height) / 2);
    for (int y = 0; y < height; ++y) {
        sprite.beginRow();
        const QRgb* line = pixels + y * stride;
        int x = 0;
        while (x < width) {
            if (qAlpha(line[x]) == 0) {
                ++x;
                continue;
            }
            // A run ends at a transparent pixel; it is blended when any of its pixels is
            // see-through (an opaque pixel blends to itself), else copied.
            const int start = x;
            bool runOpaque = true;
            for (; x < width && qAlpha(line[x]) != 0; ++x)
                runOpaque = runOpaque && qAlpha(line[x]) == 255;
            sprite.addRun(start, line + start, x - start, runOpaque);
        }
    }
    sprite.endRows();
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

QRgb* IsoSprite::drawnPixel(int x, int y) {
    if (y < 0 || y >= height || x < 0 || x >= width)
        return nullptr;
    for (std::uint32_t r = rowRun[std::size_t(y)]; r < rowRun[std::size_t(y) + 1]; ++r) {
        const Run& run = runs[r];
        if (x >= run.x && x < run.x + run.length)
            return &pixels[run.first + std::uint32_t(x - run.x)];
    }
    return nullptr;
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

namespace {

// A run's pixels: most are a land tile's row (2 to 44 pixels) or an item's, where a call
// to the library's copy per run costs more than the copy itself. Whole pieces of 8 or 4
// pixels, the last one overlapping the one before, so a run of any length takes few
// branches.
inline void copyRun(QRgb* to, const QRgb* from, int count) {
    if (count >= 8) {
        for (int i = 0; i + 8 < count; i += 8)
            std::memcpy(to + i, from + i, 8 * sizeof(QRgb));
        std::memcpy(to + count - 8, from + count - 8, 8 * sizeof(QRgb));
    } else if (count >= 4) {
        std::memcpy(to, from, 4 * sizeof(QRgb));
        std::memcpy(to + count - 4, from + count - 4, 4 * sizeof(QRgb));
    } else {
        to[0] = from[0];
        if (count > 1)
            to[count - 1] = from[count - 1];
        if (count > 2)
            to[1] = from[1];
    }
}

} // namespace

void drawSprite(const PixelSurface& surface, const IsoSprite& sprite, int left, int top,
                const QRect& clip) {
    const int firstY = std::max(clip.top(), top);
    const int endY = std::min(clip.bottom() + 1, top + sprite.height);
    if (firstY >= endY)
        return;
    const int clipLeft = clip.left();
    const int clipEnd = clip.right() + 1;
    const IsoSprite::Run* runs = sprite.runs.data();
    const std::uint32_t* rowRun = sprite.rowRun.data() + (firstY - top);
    QRgb* line = surface.bits + qsizetype(firstY) * surface.stride + left;
    if (sprite.opaque && left >= clipLeft && left + sprite.width <= clipEnd) {
        // Wholly inside the clip's columns: every run copied as it is.
        const QRgb* pixels = sprite.pixels.data();
        for (int y = firstY; y < endY; ++y, ++rowRun, line += surface.stride)
            for (std::uint32_t r = rowRun[0]; r < rowRun[1]; ++r)
                copyRun(line + runs[r].x, pixels + runs[r].first, runs[r].length);
        return;
    }
    for (int y = firstY; y < endY; ++y, ++rowRun, line += surface.stride) {
        for (std::uint32_t r = rowRun[0]; r < rowRun[1]; ++r) {
            const IsoSprite::Run& run = runs[r];
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
            QRgb* to = line + (x - left);
            if (run.opaque) {
                copyRun(to, from, count);
            } else {
                for (int i = 0; i < count; ++i)
                    to[i] = blendOver(from[i], to[i]);
            }
        }
    }
}

} // namespace tbrender

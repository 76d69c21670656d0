#include "render/ImageRows.h"

#include <cstring>
#include <utility>

namespace tbrender {

ImageColourRows::ImageColourRows(QImage image) : m_image(std::move(image)) {
    // A palette picture stays one byte a pixel; any other becomes 32-bit once. Not the
    // premultiplied form, which would change the colours of pixels that are not opaque.
    if (m_image.format() == QImage::Format_Indexed8) {
        m_table = m_image.colorTable();
        m_table.resize(256, 0);
    } else if (m_image.format() != QImage::Format_RGB32 &&
               m_image.format() != QImage::Format_ARGB32) {
        m_image.convertTo(m_image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
}

void ImageColourRows::readRow(int y, std::uint32_t* rgb) {
    const int w = m_image.width();
    if (m_image.format() == QImage::Format_Indexed8) {
        const uchar* line = m_image.constScanLine(y);
        for (int x = 0; x < w; ++x)
            rgb[x] = m_table[line[x]] & 0xFFFFFFu;
        return;
    }
    const auto* line = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
    for (int x = 0; x < w; ++x)
        rgb[x] = line[x] & 0xFFFFFFu;
}

ImageGreyRows::ImageGreyRows(QImage image) : m_image(std::move(image)) {
    if (m_image.format() != QImage::Format_Grayscale8)
        m_image.convertTo(QImage::Format_Grayscale8);
}

void ImageGreyRows::readRow(int y, std::uint8_t* grey) {
    std::memcpy(grey, m_image.constScanLine(y), std::size_t(m_image.width()));
}

} // namespace tbrender

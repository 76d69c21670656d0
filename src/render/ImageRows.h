#pragma once
// Decoded pictures as the library reads them, a row at a time (core/PictureRows.h): the
// generator's terrain and altitude pictures, the tile images tbmap puts back.

#include "core/PictureRows.h"

#include <QImage>

namespace tbrender {

// Each pixel's colour, whatever the picture's format; alpha is ignored.
class ImageColourRows : public tb::ColourRows {
public:
    explicit ImageColourRows(QImage image);
    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    void readRow(int y, std::uint32_t* rgb) override;

private:
    QImage m_image; // 32-bit, or 8-bit with its colour table
    QList<QRgb> m_table;
};

// Each pixel's luminance, as the heightmap import reads a colour picture.
class ImageGreyRows : public tb::GreyRows {
public:
    explicit ImageGreyRows(QImage image);
    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    void readRow(int y, std::uint8_t* grey) override;

private:
    QImage m_image; // 8-bit grey
};

} // namespace tbrender

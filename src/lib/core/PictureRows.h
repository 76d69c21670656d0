#pragma once
// Pictures handed to the library a row at a time, so that the code reading them needs no
// picture library and holds no copy of its own: the decoder sits outside (tbrender's
// ImageRows for pictures Qt decodes, tests' own arrays).

#include <cstdint>

namespace tb {

class PictureRows {
public:
    virtual ~PictureRows() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

// A colour picture: each pixel 0xRRGGBB (the top byte 0).
class ColourRows : public PictureRows {
public:
    // Writes row `y` (0 <= y < height()) into `rgb`, width() values.
    virtual void readRow(int y, std::uint32_t* rgb) = 0;
};

// A greyscale picture: each pixel its luminance.
class GreyRows : public PictureRows {
public:
    // Writes row `y` (0 <= y < height()) into `grey`, width() values.
    virtual void readRow(int y, std::uint8_t* grey) = 0;
};

} // namespace tb

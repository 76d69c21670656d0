#include "demo/DemoItemArt.h"

#include "demo/DemoArt.h"
#include "demo/DemoItems.h"
#include "demo/DemoNoise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tb::demo {
namespace {

constexpr std::uint64_t kItemSeed = 0x1D3A5C77ull;

// The light falls from the upper left, towards the viewer.
struct Light {
    float x = -0.5f, y = -0.6f, z = 0.62f;
};

struct Colour {
    float red, green, blue;
};

std::uint16_t pixel(Colour c, float shade) {
    const auto channel = [shade](float v) { return std::clamp(int(v * shade), 8, 255); };
    return std::uint16_t(ItemImage::kOpaque |
                         toRgb555(channel(c.red), channel(c.green), channel(c.blue)));
}

ItemImage blank(int width, int height) {
    ItemImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t(width) * std::size_t(height), 0);
    return image;
}

std::uint16_t& at(ItemImage& image, int x, int y) {
    return image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)];
}

bool drawn(const ItemImage& image, int x, int y) {
    return x >= 0 && y >= 0 && x < image.width && y < image.height && image.opaqueAt(x, y);
}

// Darkens the pixels on the edge of the picture's shape: a drawn outline, as the game's own
// art has, that sets the thing apart from what lies behind it.
void outline(ItemImage& image, float shade) {
    std::vector<std::size_t> edge;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (drawn(image, x, y) && (!drawn(image, x - 1, y) || !drawn(image, x + 1, y) ||
                                       !drawn(image, x, y - 1) || !drawn(image, x, y + 1)))
                edge.push_back(std::size_t(y) * std::size_t(image.width) + std::size_t(x));
    for (const std::size_t i : edge) {
        const std::uint16_t p = image.pixels[i];
        const auto dim = [shade](int v) { return int(float(v) * shade); };
        image.pixels[i] = std::uint16_t(ItemImage::kOpaque | dim((p >> 10) & 31) << 10 |
                                        dim((p >> 5) & 31) << 5 | dim(p & 31));
    }
}

// The light on a sphere's surface at (dx, dy) from its middle, in radii.
float sphereLight(float dx, float dy) {
    const Light l;
    const float dz = std::sqrt(std::max(0.0f, 1.0f - dx * dx - dy * dy));
    const float diffuse = std::max(0.0f, dx * l.x + dy * l.y + dz * l.z);
    return 0.35f + 0.85f * diffuse;
}

ItemImage treeImage(std::uint16_t id) {
    constexpr int kWidth = 56, kHeight = 96;
    ItemImage image = blank(kWidth, kHeight);
    const int foot = kHeight - 22; // the middle of the cell
    const float lean = float(int(id % 3) - 1) * 2.0f;
    // The trunk: a cylinder, lit on its left.
    for (int y = 40; y <= foot; ++y) {
        const int widen = y > foot - 4 ? 1 : 0;
        for (int x = 25 - widen; x < 31 + widen; ++x) {
            const float across = (float(x) - 27.5f) / 3.5f;
            const float bark = valueNoise(kItemSeed + id, float(x), float(y) / 4.0f);
            at(image, x, y) =
                pixel({110, 74, 40}, sphereLight(across, 0.0f) * (0.8f + 0.3f * bark));
        }
    }
    // The crown: lumps of leaves, each a lit sphere, the lower and nearer ones over the rest.
    struct Lump {
        float x, y, r;
    };
    const float cx = 28.0f + lean;
    const std::array<Lump, 7> lumps{{{cx, 20, 14},
                                     {cx - 11, 30, 12},
                                     {cx + 11, 29, 12},
                                     {cx, 34, 15},
                                     {cx - 7, 44, 11},
                                     {cx + 8, 45, 11},
                                     {cx + 1, 49, 9}}};
    const Colour leaves{46, 104 + float(id % 2) * 18, 34};
    for (const Lump& lump : lumps) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const float dx = (float(x) + 0.5f - lump.x) / lump.r;
                const float dy = (float(y) + 0.5f - lump.y) / lump.r;
                const float rough = valueNoise(kItemSeed ^ id, float(x) / 2.5f, float(y) / 2.5f);
                if (dx * dx + dy * dy > 0.9f + 0.2f * rough)
                    continue;
                const float flecks = 0.8f + 0.4f * rough;
                at(image, x, y) = pixel(leaves, sphereLight(dx, dy) * flecks);
            }
        }
    }
    outline(image, 0.45f);
    return image;
}

ItemImage rockImage(std::uint16_t id) {
    constexpr int kWidth = 42, kHeight = 44;
    ItemImage image = blank(kWidth, kHeight);
    const float squat = 0.8f + 0.1f * float(id % 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const float dx = (float(x) + 0.5f - 21.0f) / 19.0f;
            const float dy = (float(y) + 0.5f - 26.0f) / (15.0f * squat);
            const float rough = valueNoise(kItemSeed ^ id, float(x) / 3.0f, float(y) / 3.0f);
            if (dx * dx + dy * dy > 0.85f + 0.25f * rough || y > kHeight - 6)
                continue;
            // Facets: the surface's slope taken in steps, so the stone shows flat faces.
            const float fx = std::round(dx * 3.0f + rough) / 3.0f;
            const float fy = std::round(dy * 3.0f - rough) / 3.0f;
            const float grain = 0.9f + 0.2f * valueNoise(kItemSeed + id, float(x), float(y));
            at(image, x, y) = pixel({150, 142, 130}, sphereLight(fx * 0.9f, fy * 0.9f) * grain);
        }
    }
    outline(image, 0.4f);
    return image;
}

// A block of wall the size of its cell and 80 pixels (20 altitude steps) high: its top, a
// lit left face and a shaded right face of brick courses.
ItemImage wallImage() {
    constexpr int kRise = 80;
    constexpr int kWidth = 44, kHeight = 44 + kRise;
    ItemImage image = blank(kWidth, kHeight);
    const Colour stone{158, 148, 128};
    const auto onTop = [](int x, int y) {
        return std::abs(2 * x + 1 - 44) + std::abs(2 * y + 1 - 44) <= 44;
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (onTop(x, y)) {
                const float grain = 0.92f + 0.16f * valueNoise(kItemSeed, float(x), float(y));
                at(image, x, y) = pixel(stone, 1.15f * grain);
                continue;
            }
            // Below the top's lower edges, down to the same edges kRise lower.
            const int upper = x < 22 ? 22 + x : 65 - x; // the top's lower edge at x
            if (y < upper || y > upper + kRise)
                continue;
            const bool left = x < 22;
            // Brick courses run along the face, 8 pixels high, the joints staggered.
            const int along = left ? x : 43 - x;
            const int down = y - upper;
            const int course = down / 8;
            const bool mortar = down % 8 == 7 || (along + (course % 2) * 6) % 12 == 11;
            const float grain = 0.9f + 0.2f * valueNoise(kItemSeed + 1, float(x), float(y) / 2);
            float shade = left ? 0.86f : 0.62f;
            shade *= 1.0f - 0.15f * float(down) / kRise; // darker towards the ground
            if (along >= 20)
                shade *= 1.15f; // the near corner catches the light
            at(image, x, y) = mortar ? pixel({90, 84, 74}, shade) : pixel(stone, shade * grain);
        }
    }
    outline(image, 0.5f);
    return image;
}

// A flat tile lying on the ground, the shape a land tile has.
ItemImage floorImage() {
    ItemImage image = blank(44, 44);
    for (int y = 0; y < 44; ++y) {
        const int half = y < 22 ? y + 1 : 44 - y;
        for (int x = 22 - half; x < 22 + half; ++x) {
            const bool joint = (x + y) % 11 == 0 || (x - y + 44) % 11 == 0;
            const float v =
                joint ? 90.0f : 160.0f + 20.0f * valueNoise(kItemSeed, float(x), float(y));
            at(image, x, y) = pixel({v, v * 0.97f, v * 0.9f}, 1.0f);
        }
    }
    return image;
}

// A barrel in greys only, so a hue colours all of it by brightness.
ItemImage barrelImage() {
    constexpr int kWidth = 26, kHeight = 46;
    ItemImage image = blank(kWidth, kHeight);
    const int bottom = kHeight - 16;
    for (int y = 4; y <= bottom + 3; ++y) {
        for (int x = 1; x < kWidth - 1; ++x) {
            const float across = (float(x) + 0.5f - 13.0f) / 12.0f;
            const float bulge = 1.0f - 0.08f * std::pow((float(y) - 19.0f) / 16.0f, 2.0f);
            if (std::abs(across) > bulge)
                continue;
            // The top is an ellipse; the body's bottom edge curves with it.
            const float rim = std::sqrt(std::max(0.0f, 1.0f - across * across)) * 3.0f;
            if (y < 7 - rim || y > bottom + rim)
                continue;
            const bool top = y < 7 + rim;
            const bool hoop = !top && (std::abs(y - 12) <= 1 || std::abs(y - bottom + 5) <= 1);
            const bool stave = int((across + 1.0f) * 6.0f) != int((across + 1.02f) * 6.0f);
            float v = top ? 170.0f : hoop ? 70.0f : stave ? 110.0f : 150.0f;
            v *= sphereLight(across * 0.95f, top ? -0.6f : 0.0f);
            const int g = std::clamp(int(v), 16, 248);
            at(image, x, y) = std::uint16_t(ItemImage::kOpaque | toRgb555(g, g, g));
        }
    }
    outline(image, 0.5f);
    return image;
}

// A wooden crate bound in grey iron: with a partial hue only the iron takes the colour.
ItemImage crateImage() {
    constexpr int kRise = 24;
    constexpr int kWidth = 36, kHeight = 36 + kRise - 6;
    ItemImage image = blank(kWidth, kHeight);
    const Colour wood{150, 104, 60};
    const auto onTop = [](int x, int y) {
        return std::abs(2 * x + 1 - 36) + std::abs(2 * y + 1 - 36) <= 36;
    };
    const auto iron = [](int v) {
        const int g = std::clamp(v, 16, 248);
        return std::uint16_t(ItemImage::kOpaque | toRgb555(g, g, g));
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (onTop(x, y)) {
                const bool band = std::abs(x - y) <= 1 || std::abs(x + y - 35) <= 1;
                at(image, x, y) = band ? iron(180) : pixel(wood, 1.1f);
                continue;
            }
            const int upper = x < 18 ? 18 + x : 53 - x;
            if (y < upper || y > upper + kRise)
                continue;
            const bool left = x < 18;
            const int along = left ? x : 35 - x;
            const int down = y - upper;
            const float shade = left ? 0.85f : 0.6f;
            const bool band = down < 3 || down > kRise - 3 || along < 3 || along > 14;
            if (band)
                at(image, x, y) = iron(int(170 * shade));
            else
                at(image, x, y) = pixel(wood, shade * (down % 6 == 5 ? 0.7f : 1.0f));
        }
    }
    outline(image, 0.5f);
    return image;
}

} // namespace

ItemImage drawDemoItem(ItemShape shape, std::uint16_t id) {
    switch (shape) {
    case ItemShape::Tree:
        return treeImage(id);
    case ItemShape::Rock:
        return rockImage(id);
    case ItemShape::Wall:
        return wallImage();
    case ItemShape::Floor:
        return floorImage();
    case ItemShape::Barrel:
        return barrelImage();
    case ItemShape::Crate:
        return crateImage();
    }
    return itemPlaceholderImage();
}

} // namespace tb::demo

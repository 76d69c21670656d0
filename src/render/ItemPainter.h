#pragma once
// Draws the items standing on a cell of the map view with their pictures, scaled into the
// cell: lowest first, items of equal height in file order, so the topmost is drawn last;
// each in its hue, see-through as its tiledata says, none above Max Z. Pictures are scaled
// once per item, hue and cell size and kept until the art, the hues or the size changes.
// Below kMinArtCellSize a picture could not be read, and the view shows the statics
// markers instead.

#include "render/PixelSurface.h"

#include "core/ArtFiles.h"
#include "core/HueFile.h"
#include "core/StaticsMap.h"
#include "core/TileData.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

class QPainter;
class QRect;

namespace tbrender {

class ItemPainter {
public:
    static constexpr int kMinArtCellSize = 16;
    // The width of a land tile's picture: an item as wide is drawn as wide as the cell.
    static constexpr int kLandPictureWidth = 44;

    // The statics and the art their pictures come from; nullptr for none. Setting the art
    // drops every kept picture.
    void setStatics(const tb::StaticsMap* statics) { m_statics = statics; }
    void setArt(const tb::ArtFiles* art);
    // The hues items are drawn in and the tiledata whose flags say how (PartialHue,
    // Translucent); nullptr for none. Drops every kept picture.
    void setHues(const tb::HueFile* hues, const tb::TileData* tiledata);
    // Items above this altitude are not drawn.
    void setMaxZ(int maxZ) { m_maxZ = maxZ; }

    static bool drawsArt(int cellSize) { return cellSize >= kMinArtCellSize; }
    // Whether `art` holds item pictures at all: artidx.mul reaches past the land tiles.
    static bool holdsItemArt(const tb::ArtFiles& art);

    // Draws the items of cell (x, y) into `rect` (a square cell); false when it has none.
    bool drawCellItems(QPainter& painter, std::int32_t x, std::int32_t y, const QRect& rect);
    // The same straight into the pixels of `surface`, clipped to it (the map view's rows,
    // where a painter call per item would cost more than its pixels).
    bool drawCellItems(const PixelSurface& surface, std::int32_t x, std::int32_t y,
                       const QRect& rect);
    // The items of cell (x, y) in drawing order, empty for none; valid until the next call.
    std::span<const tb::StaticRecord> cellItems(std::int32_t x, std::int32_t y) {
        return collectItems(x, y) ? std::span<const tb::StaticRecord>(m_cellItems)
                                  : std::span<const tb::StaticRecord>();
    }
    // Draws `items`, in that order, into `rect` of `surface`, clipped to it.
    void drawItems(const PixelSurface& surface, std::span<const tb::StaticRecord> items,
                   const QRect& rect);

    // The picture of item `id` in `hue` (0: none) for cells of `cellSize` pixels: as the
    // item's art is, scaled by cellSize / 44 and then down to fit the cell where it is
    // larger; the placeholder's for an item without usable art.
    const QImage& picture(std::uint16_t id, int cellSize, std::uint16_t hue = 0);

private:
    // A scaled picture and its pixels as runs per line, each all opaque (copied) or all
    // partly transparent (blended); transparent pixels are in no run.
    struct Run {
        std::int16_t y;
        std::int16_t x;
        std::int16_t length;
        bool opaque;
    };
    struct Sprite {
        QImage image;
        // The image's pixels and size, read for each item drawn without a call into Qt.
        const QRgb* pixels = nullptr;
        int width = 0;
        int height = 0;
        qsizetype stride = 0; // in pixels
        std::vector<Run> runs;
    };
    const Sprite& sprite(std::uint16_t id, int cellSize, std::uint16_t hue);
    Sprite makeSprite(std::uint16_t id, const tb::HueEntry* hue, std::uint16_t hueWord,
                      int cellSize) const;
    // The items of cell (x, y) into m_cellItems in drawing order; false when it has none.
    bool collectItems(std::int32_t x, std::int32_t y);

    const tb::StaticsMap* m_statics = nullptr;
    const tb::ArtFiles* m_art = nullptr;
    const tb::HueFile* m_hues = nullptr;
    const tb::TileData* m_tiledata = nullptr;
    int m_maxZ = 127;
    int m_cacheCellSize = 0;
    // Per item id once scaled, at m_cacheCellSize: an item's look-up is one read.
    std::vector<std::unique_ptr<Sprite>> m_pictures;
    // Hued items, by id | hue << 16.
    std::unordered_map<std::uint32_t, std::unique_ptr<Sprite>> m_huedPictures;
    std::vector<tb::StaticRecord> m_cellItems; // reused for every cell
};

} // namespace tbrender

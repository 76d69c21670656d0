#pragma once
// The map drawn as the game client draws it: land tiles as diamonds (stretched over the
// corner heights where a texture allows), items standing on them, back to front, hued and
// see-through as their tiledata says. Draws any rectangle of the scene into any part of an
// image, so a scrolling view copies what it has and asks only for the strips it lacks.
//
// Scene coordinates are the cells' screen points (tb::iso::cellPoint) at the zoom's scale:
// scene (0, 0) is the top-left of cell (0, 0)'s tile at altitude 0, whose top corner lies
// at (half, 0). The map, the statics, the art, the tiledata and the hues are only pointed
// to; after an edit call invalidate() with the cells changed, after any other change of
// them the matching setter (or dropCaches()).

#include "render/IsoSprite.h"
#include "render/IsoSpriteCache.h"

#include "core/ArtFiles.h"
#include "core/HueFile.h"
#include "core/ItemArt.h"
#include "core/MapImage.h"
#include "core/StaticItems.h"
#include "core/StaticsMap.h"
#include "core/TileData.h"
#include "iso/DrawOrder.h"
#include "iso/IsoGeometry.h"
#include "iso/LandSurface.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tbrender {

inline const QColor kIsoMarkedCellColour(255, 0, 0);
inline const QColor kIsoSelectionColour(255, 255, 0);

// What lies under a point of the picture: the cell, its land's altitude, and the item
// when an item's picture is what is seen there.
struct IsoPick {
    tb::iso::CellPos cell;
    int landZ = 0;
    std::optional<tb::CellItem> item; // its block, place in the block's records, record
};

// One thing of the picture, where it is drawn and what it is.
struct IsoDrawable {
    const IsoSprite* sprite = nullptr; // nullptr: land without art (only its shape counts)
    tb::iso::ScreenRect rect;          // the scene pixels it may cover
    tb::iso::CellPos cell;
    bool isItem = false;
    // Land: whether it is stretched, and its corners (its own altitude is corners.top).
    bool stretched = false;
    tb::iso::Corners corners;
    // Item: its block and place in the block's records.
    std::size_t block = 0;
    std::size_t index = 0;
    tb::StaticRecord record;
};

class IsoPainter {
public:
    explicit IsoPainter(std::size_t cacheBudgetBytes = IsoSpriteCache::kBudgetBytes);

    // The data drawn; nullptr for none. Each setter drops what was worked out from the one
    // before.
    void setMap(const tb::MapImage* map);
    void setStatics(const tb::StaticsMap* statics);
    void setArt(const tb::ArtFiles* art);
    void setTileData(const tb::TileData* tiledata);
    void setHues(const tb::HueFile* hues);
    // Everything kept goes (the art, tiledata or hues changed in place).
    void dropCaches();

    // Land and items above this altitude are not drawn (to look into a house).
    void setMaxZ(int maxZ);
    int maxZ() const { return m_maxZ; }
    // The zoom: 1.0 is 100%; kept as tb::iso::halfTileForZoom gives it (25% to 400%).
    void setZoom(double zoom);
    void setHalfTile(int half);
    double zoom() const { return double(m_half) / tb::iso::kHalfTile; }
    int halfTile() const { return m_half; }
    // The cells' diamonds outlined.
    void setGrid(bool grid);
    bool grid() const { return m_grid; }
    void setBackground(QRgb colour) { m_background = colour; }
    // Only these cells are drawn (tbmap's rectangle); none: every cell.
    void setCellClip(std::optional<tb::iso::CellBox> cells);
    // Cells outlined in red over the picture, and a rectangle of cells outlined.
    void setMarkedCells(std::vector<tb::iso::CellPos> cells) { m_marked = std::move(cells); }
    void setSelection(std::optional<tb::iso::CellBox> cells) { m_selection = cells; }

    // Draws the scene into `targetRect` of `target` (and nowhere else), pixel (x, y) of the
    // target showing scene pixel (x, y) + sceneOrigin. The target is made RGB32 or
    // premultiplied ARGB when it is neither.
    void draw(QImage& target, const QRect& targetRect, QPoint sceneOrigin);

    // The topmost item drawn whose pixel at `scenePoint` is not transparent, else the land
    // whose (stretched) shape holds it; nothing when no drawn cell is there.
    std::optional<IsoPick> pick(QPoint scenePoint);

    // Every scene pixel the map can cover (it looks at the art's largest item once).
    QRect sceneBounds();
    // The scene point of cell (x, y) at altitude z (the top-left of its tile's square).
    QPoint cellScenePoint(std::int32_t x, std::int32_t y, int z = 0) const;
    // The cells (within the map) the ground at altitude 0 shows in `sceneRect`.
    tb::iso::CellBox cellsShown(const QRect& sceneRect) const;
    // The cell whose flat diamond at altitude z holds `scenePoint` (maybe outside the map).
    tb::iso::CellPos cellAt(QPoint scenePoint, int z = 0) const;
    // The scene pixels the drawing of `cells` covers now, each cell exactly (land without
    // art by its shape).
    QRect cellsSceneRect(const tb::iso::CellBox& cells);
    // The cells changed (altitudes, tiles or items): forgets what was kept of them and gives
    // the scene pixels to draw again, those they covered before and those they cover now
    // (with the neighbours whose slopes and light they change).
    QRect invalidate(const tb::iso::CellBox& cells);

    // What draw() draws for `sceneRect`, in drawing order; valid until the next call.
    const std::vector<IsoDrawable>& drawList(const QRect& sceneRect);

    std::size_t cacheBytes() const { return m_cache.bytes(); }

private:
    struct LandInfo {
        bool known = false;
        bool hasArt = false;
        std::uint16_t texture = 0; // 0: none usable
    };
    // Where a block's drawing reaches, relative to the block's first cell's screen point
    // at 100%; left > right until worked out.
    struct BlockBounds {
        std::int16_t left = 1;
        std::int16_t top = 0;
        std::int16_t right = 0;
        std::int16_t bottom = 0;
        bool known() const { return left <= right; }
    };
    struct ItemSize {
        std::int16_t width = -1; // -1: not looked at yet
        std::int16_t height = 0;
    };

    bool ready() const { return m_map && m_map->hasGeometry(); }
    int blockColumns() const { return (m_map->width() + 7) / 8; }
    int blockRows() const { return (m_map->height() + 7) / 8; }
    // The per-id tables made anew after dropCaches(), and the pointers to pictures dropped
    // when the cache dropped pictures.
    void ensureTables();
    const LandInfo& landInfo(std::uint16_t tile);
    ItemSize itemSize(std::uint16_t id);
    // The largest item picture the art holds, once: it bounds how far an item reaches
    // from its cell.
    void findLargestItem();
    tb::iso::Reach worstReach() const;
    const BlockBounds& blockBounds(int bx, int by);
    tb::iso::ScreenRect scaledBlockRect(int bx, int by, const BlockBounds& b) const;
    // A drawable of a block as worked out for the present zoom and settings, kept while
    // they stay; its picture is looked up when it is first drawn.
    struct BlockItem {
        IsoDrawable d;
        std::uint64_t key = 0;                // its place in the drawing order
        std::uint16_t source = 0;             // land: its tile, or texture when stretched
        std::array<std::uint8_t, 4> lights{}; // stretched: light steps top, right, bottom, left
        bool resolved = false;                // d.sprite looked up
    };
    // The drawables of block (bx, by) whose cells `clip` holds (all without one), appended
    // to `out`, without their pictures.
    void buildBlock(int bx, int by, const std::optional<tb::iso::CellBox>& clip,
                    std::vector<BlockItem>& out);
    // The same kept for m_clip.
    std::vector<BlockItem>& blockItems(int bx, int by);
    void resolve(BlockItem& item);
    // The drawables that meet `rect` into m_order, in drawing order.
    void collect(const tb::iso::ScreenRect& rect);
    const IsoSprite* landSprite(std::uint16_t tile);
    const IsoSprite* stretchedSprite(std::uint16_t texture, const tb::iso::Corners& corners,
                                     const std::array<std::uint8_t, 4>& lights);
    // The texture's texels, decoded once while it is among the last few used; nullptr for
    // none.
    const tb::Image15* texture(std::uint16_t id);
    const IsoSprite* itemSprite(std::uint16_t id, std::uint16_t hue);
    // The shape of the land of cell (x, y) as it is drawn: stretched or flat, its corners.
    IsoDrawable landShape(std::int32_t x, std::int32_t y);
    bool landHolds(const IsoDrawable& land, tb::iso::ScreenPoint p) const;
    void drawOverlays(QImage& target, const QRect& clip, QPoint sceneOrigin);

    const tb::MapImage* m_map = nullptr;
    const tb::StaticsMap* m_statics = nullptr;
    const tb::ArtFiles* m_art = nullptr;
    const tb::TileData* m_tiledata = nullptr;
    const tb::HueFile* m_hues = nullptr;

    int m_maxZ = 127;
    int m_half = tb::iso::kHalfTile;
    bool m_grid = false;
    QRgb m_background = qRgb(0, 0, 0);
    std::optional<tb::iso::CellBox> m_clip;
    std::vector<tb::iso::CellPos> m_marked;
    std::optional<tb::iso::CellBox> m_selection;

    IsoSpriteCache m_cache;
    std::uint64_t m_cacheGeneration = 0;
    bool m_tablesStale = true;
    std::vector<LandInfo> m_landInfo;
    std::vector<const IsoSprite*> m_landSprites; // at m_half and m_grid; see kNoSprite
    std::vector<const IsoSprite*> m_itemSprites; // unhued, at m_half
    std::vector<ItemSize> m_itemSizes;
    int m_largestItemWidth = -1; // of every item picture the art holds; -1: not looked at
    int m_largestItemHeight = 0;
    // Per column of blocks, allocated when first drawn: a painter made for one view of a
    // large map keeps only the columns it showed.
    std::vector<std::unique_ptr<BlockBounds[]>> m_blocks;
    // Decoded textures by id modulo the slots: a few megabytes beside the cache.
    struct TextureSlot {
        int id = -1; // -1: empty
        bool present = false;
        tb::Image15 image;
    };
    std::array<TextureSlot, 32> m_textures;

    std::unordered_map<std::uint32_t, std::vector<BlockItem>> m_blockItems; // by bx << 16 | by
    std::vector<std::pair<std::uint64_t, const IsoDrawable*>> m_order;
    std::vector<IsoDrawable> m_sorted;
    struct Blit {
        const IsoSprite* sprite;
        int left, top, bottom; // on the target
    };
    std::vector<Blit> m_blits;
    tb::Image15 m_work;
};

} // namespace tbrender

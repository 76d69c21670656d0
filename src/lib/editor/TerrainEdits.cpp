#include "editor/TerrainEdits.h"

#include "editor/CornerGrid.h"

#include <algorithm>
#include <climits>

namespace tb {
namespace {

// Where the edits write: a document's edit (recorded for undo first) or a map held alone.
class TerrainTarget {
public:
    virtual ~TerrainTarget() = default;
    virtual const MapImage& image() const = 0;
    virtual void setTile(std::int32_t x, std::int32_t y, std::uint16_t tile) = 0;
};

class DocumentTarget : public TerrainTarget {
public:
    explicit DocumentTarget(MapDocument::Edit& edit) : m_edit(edit) {}
    const MapImage& image() const override { return m_edit.image(); }
    void setTile(std::int32_t x, std::int32_t y, std::uint16_t tile) override {
        const MapCell before = m_edit.image().cellUnchecked(x, y);
        m_edit.recordUndo(x, y);
        m_edit.write(x, y, MapCell{tile, before.altitude});
    }

private:
    MapDocument::Edit& m_edit;
};

class ImageTarget : public TerrainTarget {
public:
    explicit ImageTarget(MapImage& map) : m_map(map) {}
    const MapImage& image() const override { return m_map; }
    void setTile(std::int32_t x, std::int32_t y, std::uint16_t tile) override {
        m_map.setCellUnchecked(x, y, MapCell{tile, m_map.cellUnchecked(x, y).altitude});
    }

private:
    MapImage& m_map;
};

// A square of `size` cells from (left, top), its corners kept within the 32-bit range
// (no map comes near it).
CellRect squareFrom(std::int64_t left, std::int64_t top, int size) {
    const std::int64_t side = std::max(size, 1);
    auto limited = [](std::int64_t v) {
        return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {limited(left), limited(top), limited(left + side - 1), limited(top + side - 1)};
}

CellRect clipped(const CellRect& cells, const MapImage& map) {
    CellRect r{std::max(cells.left, 0), std::max(cells.top, 0),
               std::min(cells.right, map.width() - 1), std::min(cells.bottom, map.height() - 1)};
    return r.isEmpty() ? CellRect{} : r;
}

// Gives cell (x, y) a tile of `wanted`, or lists it as missing.
void retile(TerrainTarget& target, const TerrainTiles& tiles, std::int32_t x, std::int32_t y,
            PackedCorners wanted, RandomSource& random, TerrainEditResult& result) {
    const std::optional<std::uint16_t> tile =
        hasAllCorners(unpackCorners(wanted)) ? tiles.pickTile(wanted, random) : std::nullopt;
    if (!tile) {
        result.missing.push_back({x, y});
        return;
    }
    target.setTile(x, y, *tile);
    ++result.changed;
}

// The cells under a brush: a rectangle inside the map, and which of its cells the brush
// covers (all of them when `mask` is empty).
struct BrushCells {
    CellRect bounds;
    std::vector<char> mask; // row by row over `bounds`

    bool covers(std::int32_t x, std::int32_t y) const {
        if (!bounds.contains(x, y))
            return false;
        return mask.empty() ||
               mask[std::size_t(y - bounds.top) * std::size_t(bounds.right - bounds.left + 1) +
                    std::size_t(x - bounds.left)];
    }
};

BrushCells brushOf(const std::vector<CellPoint>& cells, const MapImage& map) {
    BrushCells brush;
    bool any = false;
    for (const CellPoint& c : cells) {
        if (!map.contains(c.x, c.y))
            continue;
        brush.bounds =
            any ? CellRect{std::min(brush.bounds.left, c.x), std::min(brush.bounds.top, c.y),
                           std::max(brush.bounds.right, c.x), std::max(brush.bounds.bottom, c.y)}
                : CellRect{c.x, c.y, c.x, c.y};
        any = true;
    }
    if (!any)
        return {};
    const std::size_t width = std::size_t(brush.bounds.right - brush.bounds.left + 1);
    brush.mask.assign(width * std::size_t(brush.bounds.bottom - brush.bounds.top + 1), 0);
    for (const CellPoint& c : cells)
        if (brush.bounds.contains(c.x, c.y))
            brush.mask[std::size_t(c.y - brush.bounds.top) * width +
                       std::size_t(c.x - brush.bounds.left)] = 1;
    return brush;
}

TerrainEditResult paint(TerrainTarget& target, const TerrainTiles& tiles, TerrainId terrain,
                        const BrushCells& brush, RandomSource& random) {
    const MapImage& map = target.image();
    TerrainEditResult result;
    if (brush.bounds.isEmpty())
        return result;
    const CellRect& b = brush.bounds;
    result.area = clipped({b.left - 1, b.top - 1, b.right + 1, b.bottom + 1}, map);
    const CellRect& area = result.area;
    CornerGrid corners(map, tiles, area);
    // The painted corners, and which of them change.
    const std::size_t stride = std::size_t(area.right - area.left + 2);
    std::vector<char> changed(stride * std::size_t(area.bottom - area.top + 2), 0);
    for (std::int32_t y = b.top; y <= b.bottom; ++y)
        for (std::int32_t x = b.left; x <= b.right; ++x) {
            if (!brush.covers(x, y))
                continue;
            for (const auto& [cx, cy] : {std::pair{x, y}, {x + 1, y}, {x, y + 1}, {x + 1, y + 1}}) {
                if (corners.at(cx, cy) == terrain)
                    continue;
                corners.set(cx, cy, terrain);
                changed[std::size_t(cy - area.top) * stride + std::size_t(cx - area.left)] = 1;
            }
        }
    for (std::int32_t y = area.top; y <= area.bottom; ++y) {
        const char* row = changed.data() + std::size_t(y - area.top) * stride;
        for (std::int32_t x = area.left; x <= area.right; ++x) {
            const std::size_t i = std::size_t(x - area.left);
            const bool touched = brush.covers(x, y) || row[i] || row[i + 1] || row[i + stride] ||
                                 row[i + stride + 1];
            if (!touched)
                continue;
            const PackedCorners wanted = corners.cellCorners(x, y);
            if (tiles.corners(map.cellUnchecked(x, y).tileId) != wanted)
                retile(target, tiles, x, y, wanted, random, result);
        }
    }
    return result;
}

TerrainEditResult fix(TerrainTarget& target, const TerrainTiles& tiles, const CellRect& cells,
                      RandomSource& random) {
    const MapImage& map = target.image();
    TerrainEditResult result;
    result.area = clipped(cells, map);
    if (result.area.isEmpty())
        return result;
    const CellRect& area = result.area;
    const CornerGrid corners(map, tiles, area);
    for (std::int32_t y = area.top; y <= area.bottom; ++y)
        for (std::int32_t x = area.left; x <= area.right; ++x) {
            const PackedCorners has = tiles.corners(map.cellUnchecked(x, y).tileId);
            if (has == kUnknownCorners)
                continue;
            const PackedCorners wanted = corners.cellCorners(x, y);
            if (has != wanted)
                retile(target, tiles, x, y, wanted, random, result);
        }
    return result;
}

} // namespace

CellRect paintBrushSquare(std::int32_t x, std::int32_t y, int size) {
    return squareFrom(x, y, size);
}

CellRect centredSquare(std::int32_t x, std::int32_t y, int size) {
    const std::int64_t side = std::max(size, 1);
    return squareFrom(std::int64_t(x) - side / 2, std::int64_t(y) - side / 2, size);
}

TerrainEditResult paintTerrain(MapDocument::Edit& edit, const TerrainTiles& tiles,
                               TerrainId terrain, const CellRect& square, RandomSource& random) {
    DocumentTarget target(edit);
    return paint(target, tiles, terrain, {clipped(square, edit.image()), {}}, random);
}

TerrainEditResult paintTerrain(MapImage& map, const TerrainTiles& tiles, TerrainId terrain,
                               const CellRect& square, RandomSource& random) {
    ImageTarget target(map);
    return paint(target, tiles, terrain, {clipped(square, map), {}}, random);
}

TerrainEditResult paintTerrain(MapDocument::Edit& edit, const TerrainTiles& tiles,
                               TerrainId terrain, const std::vector<CellPoint>& cells,
                               RandomSource& random) {
    DocumentTarget target(edit);
    return paint(target, tiles, terrain, brushOf(cells, edit.image()), random);
}

TerrainEditResult fixTerrainEdges(MapDocument::Edit& edit, const TerrainTiles& tiles,
                                  const CellRect& cells, RandomSource& random) {
    DocumentTarget target(edit);
    return fix(target, tiles, cells, random);
}

TerrainEditResult fixTerrainEdges(MapImage& map, const TerrainTiles& tiles, const CellRect& cells,
                                  RandomSource& random) {
    ImageTarget target(map);
    return fix(target, tiles, cells, random);
}

std::vector<CellPoint> checkTerrain(const MapImage& map, const TerrainTiles& tiles,
                                    const CellRect& cells) {
    std::vector<CellPoint> unfit;
    const CellRect area = clipped(cells, map);
    if (area.isEmpty())
        return unfit;
    const CornerGrid corners(map, tiles, area);
    for (std::int32_t y = area.top; y <= area.bottom; ++y)
        for (std::int32_t x = area.left; x <= area.right; ++x) {
            const PackedCorners has = tiles.corners(map.cellUnchecked(x, y).tileId);
            if (has != kUnknownCorners && has != corners.cellCorners(x, y))
                unfit.push_back({x, y});
        }
    return unfit;
}

CellRect wholeMap(const MapImage& map) {
    if (!map.hasGeometry())
        return {};
    return {0, 0, map.width() - 1, map.height() - 1};
}

} // namespace tb

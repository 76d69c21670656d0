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

TerrainEditResult paint(TerrainTarget& target, const TerrainTiles& tiles, TerrainId terrain,
                        const CellRect& square, RandomSource& random) {
    const MapImage& map = target.image();
    TerrainEditResult result;
    const CellRect brush = clipped(square, map);
    if (brush.isEmpty())
        return result;
    result.area = clipped({brush.left - 1, brush.top - 1, brush.right + 1, brush.bottom + 1}, map);
    const CellRect& area = result.area;
    CornerGrid corners(map, tiles, area);
    // The painted corners, and which of them change.
    const std::size_t stride = std::size_t(area.right - area.left + 2);
    std::vector<char> changed(stride * std::size_t(area.bottom - area.top + 2), 0);
    for (std::int32_t y = brush.top; y <= brush.bottom + 1; ++y)
        for (std::int32_t x = brush.left; x <= brush.right + 1; ++x) {
            if (corners.at(x, y) == terrain)
                continue;
            corners.set(x, y, terrain);
            changed[std::size_t(y - area.top) * stride + std::size_t(x - area.left)] = 1;
        }
    for (std::int32_t y = area.top; y <= area.bottom; ++y) {
        const char* row = changed.data() + std::size_t(y - area.top) * stride;
        for (std::int32_t x = area.left; x <= area.right; ++x) {
            const std::size_t i = std::size_t(x - area.left);
            const bool touched = brush.contains(x, y) || row[i] || row[i + 1] || row[i + stride] ||
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
    return paint(target, tiles, terrain, square, random);
}

TerrainEditResult paintTerrain(MapImage& map, const TerrainTiles& tiles, TerrainId terrain,
                               const CellRect& square, RandomSource& random) {
    ImageTarget target(map);
    return paint(target, tiles, terrain, square, random);
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

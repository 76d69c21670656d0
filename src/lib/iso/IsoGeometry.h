#pragma once
// Where the cells of the map lie in the isometric picture, as the game client draws them.
//
// A cell's screen point is x = (X - Y) * 22, y = (X + Y) * 22 - 4 * Z: the top-left corner of
// the 44 x 44 square its land tile is drawn in, the tile's top corner 22 pixels to the right.
// Scene coordinates are these points at the zoom's scale: `half` is half a tile's width in
// pixels (22 at 100%), and sizes and altitude offsets are rounded to whole pixels.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>

namespace tb::iso {

inline constexpr int kHalfTile = 22; // at 100%
inline constexpr int kTileSide = 44;
inline constexpr int kAltitudeStep = 4; // pixels per altitude step at 100%
inline constexpr int kMinHalfTile = 6;  // 25%, rounded
inline constexpr int kMaxHalfTile = 88; // 400%

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// A rectangle of pixels, right and bottom excluded.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool intersects(const ScreenRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool contains(ScreenPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    ScreenRect united(const ScreenRect& o) const {
        if (empty())
            return o;
        if (o.empty())
            return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// Cells x1..x2 by y1..y2, both corners included.
struct CellBox {
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = -1;
    std::int32_t y2 = -1;

    bool empty() const { return x2 < x1 || y2 < y1; }
    bool contains(std::int32_t x, std::int32_t y) const {
        return x >= x1 && x <= x2 && y >= y1 && y <= y2;
    }
    friend bool operator==(const CellBox&, const CellBox&) = default;
};

struct CellPos {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

// Floor division, for coordinates left of or above the origin.
constexpr int floorDiv(int a, int b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// The half tile width of a zoom factor (1.0 for 100%), within kMinHalfTile..kMaxHalfTile.
int halfTileForZoom(double zoom);

// A length of the 100% picture at scale `half`, rounded half up; at least 1 for a length of
// at least 1.
int scaledLength(int length, int half);

// The pixels altitude `z` raises a point at scale `half`: 4 * z at 100%.
int altitudePixels(int z, int half);

// The screen point of cell (x, y) at altitude z.
ScreenPoint cellPoint(std::int32_t x, std::int32_t y, int z, int half = kHalfTile);

// The pixels of row `row` (0 .. 2 * half - 1) of a flat land tile's diamond, relative to
// the tile's screen point: [first, end). At 100% the rows are 2, 4, ..., 44, 44, ..., 2
// pixels wide, centred, as the land art stores them.
struct RowSpan {
    int first = 0;
    int end = 0;
    bool contains(int x) const { return x >= first && x < end; }
    friend bool operator==(const RowSpan&, const RowSpan&) = default;
};
RowSpan diamondRow(int row, int half = kHalfTile);

// Whether pixel `p`, relative to a flat tile's screen point, is one of its diamond's.
bool diamondContains(ScreenPoint p, int half = kHalfTile);

// The rectangle item art of width x height pixels (at 100%) takes when it stands on a cell
// whose screen point at the item's z is `at`: its bottom centre on the cell's bottom corner,
// the art's top-left at (x - (width / 2 - 22), y - (height - 44)) at 100%.
ScreenRect itemRect(ScreenPoint at, int width, int height, int half = kHalfTile);

// The cell whose flat land at altitude `z` holds pixel `p` of the scene: its diamond drawn
// as a stretched tile (LandSurface.h), which the diamonds around share no pixel with.
CellPos cellAtGround(ScreenPoint p, int z = 0, int half = kHalfTile);

// The cells a rectangle of the scene shows on the ground at altitude 0: the smallest box
// holding the cells under its four corners.
CellBox cellsShown(const ScreenRect& rect, int half = kHalfTile);

// How far what is drawn for a cell can reach past its flat diamond at altitude 0: `up`
// pixels above the diamond's top, `down` below its bottom, `side` left and right.
struct Reach {
    int up = 0;
    int down = 0;
    int side = 0;
};

// Calls fn(ux, uy) for each square of `unit` x `unit` cells (the square of cells ux * unit ..
// ux * unit + unit - 1 by the same in y) whose cells, drawn with at most `reach`, can cover
// a pixel of `rect`, back to front (by ux + uy, then ux). Squares outside 0..columns - 1 by
// 0..rows - 1 are left out. With unit 1 these are the cells whose shapes can cover a point.
void forEachSquareReaching(const ScreenRect& rect, const Reach& reach, int unit, int columns,
                           int rows, int half, const std::function<void(int, int)>& fn);

} // namespace tb::iso

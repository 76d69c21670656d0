#pragma once
// The shape and light of a land tile in the isometric picture.
//
// A tile whose land has a texture is drawn as that texture stretched over the heights of its
// four corners as soon as any altitude of its 4 x 4 neighbourhood (X-1..X+2, Y-1..Y+2)
// differs from its own; otherwise it is the flat diamond of its art at its own altitude. The
// corners are top = Z(X, Y), right = Z(X+1, Y), left = Z(X, Y+1), bottom = Z(X+1, Y+1); the
// quad is drawn as the triangles top-right-left and right-bottom-left.
//
// A pixel belongs to a triangle when its centre lies inside; on an edge, to the triangle on
// its right (a pixel whose centre lies exactly on a shared edge is drawn once).

#include "iso/IsoGeometry.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tb {
class MapImage;
}

namespace tb::iso {

// The altitudes of cells X-1..X+2 by Y-1..Y+2: z[row][column], row 0 being Y-1.
struct Neighbourhood {
    std::array<std::array<std::int8_t, 4>, 4> z{};
    int own() const { return z[1][1]; }
};

// The neighbourhood of cell (x, y); cells past the map's edges take the nearest edge cell's
// altitude. The map must have cells.
Neighbourhood neighbourhoodAt(const MapImage& map, std::int32_t x, std::int32_t y);

// Whether any altitude of the neighbourhood differs from the cell's own.
bool differsAround(const Neighbourhood& n);

struct Corners {
    int top = 0;
    int right = 0;
    int bottom = 0;
    int left = 0;
    friend bool operator==(const Corners&, const Corners&) = default;
};
Corners cornersOf(const Neighbourhood& n);

// The corners' points relative to the cell's screen point at altitude 0: top (22, -4 top),
// right (44, 22 - 4 right), bottom (22, 44 - 4 bottom), left (0, 22 - 4 left) at 100%.
struct Quad {
    ScreenPoint top, right, bottom, left;
};
Quad stretchedQuad(const Corners& c, int half = kHalfTile);

struct Triangle {
    std::array<ScreenPoint, 3> p;
};
// The two triangles the quad is drawn as: top-right-left, then right-bottom-left.
std::array<Triangle, 2> quadTriangles(const Quad& q);

// The pixels of each row whose centres lie in a triangle: its corners sorted once for all
// the rows it is asked for.
class TriangleRows {
public:
    explicit TriangleRows(const Triangle& t);
    // The rows [first, end) that hold pixels.
    int firstRow() const;
    int endRow() const;
    // The pixels of row `row`, or nothing.
    std::optional<RowSpan> row(int row) const;

private:
    std::array<ScreenPoint, 3> m_p; // by y, then x
    // x per row of the edges 0-2, 0-1 and 1-2 (0 for a flat edge, never used).
    double m_slopeLong = 0, m_slopeUpper = 0, m_slopeLower = 0;
};

// The pixels of row `row` whose centres lie in the triangle, or nothing.
std::optional<RowSpan> triangleRow(const Triangle& t, int row);

// Whether pixel `p` (same coordinates as the quad) is one the stretched tile draws.
bool quadContains(const Quad& q, ScreenPoint p);

// The pixels the quad covers: the box of its corners.
ScreenRect quadBounds(const Quad& q);

struct Vector3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

// A corner's normal: the normalised sum of the cross products of consecutive vectors
// (22, 22, 4 dz), (-22, 22, 4 dz), (-22, -22, 4 dz), (22, -22, 4 dz) to its neighbours east
// (X+1), south (Y+1), west and north (Y-1), dz being each one's altitude less the
// corner's own. A level corner's normal is (0, 0, 1).
Vector3 cornerNormal(int own, int east, int south, int west, int north);

// The light of a corner with this normal: max(n . normalize(0, 1, 1), 0) / 2 + 0.5;
// 0.854 for a level corner.
double cornerLight(const Vector3& normal);

// The lights of the four corners, each from its own four neighbours.
struct CornerLights {
    double top = 0;
    double right = 0;
    double bottom = 0;
    double left = 0;
};
CornerLights cornerLights(const Neighbourhood& n);

} // namespace tb::iso

#include "iso/LandSurface.h"

#include "core/MapImage.h"

#include <algorithm>
#include <cmath>

namespace tb::iso {
namespace {

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The light of the corner at z[row][column] of the neighbourhood.
double lightAt(const Neighbourhood& n, int row, int column) {
    const auto at = [&](int r, int c) { return int(n.z[std::size_t(r)][std::size_t(c)]); };
    return cornerLight(cornerNormal(at(row, column), at(row, column + 1), at(row + 1, column),
                                    at(row, column - 1), at(row - 1, column)));
}

// x of the point of edge a-b at height yc (a.y < b.y).
double edgeX(ScreenPoint a, ScreenPoint b, double yc) {
    return double(a.x) + (yc - double(a.y)) * double(b.x - a.x) / double(b.y - a.y);
}

} // namespace

Neighbourhood neighbourhoodAt(const MapImage& map, std::int32_t x, std::int32_t y) {
    Neighbourhood n;
    const std::int32_t lastX = map.width() - 1;
    const std::int32_t lastY = map.height() - 1;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            n.z[std::size_t(row)][std::size_t(column)] =
                map.cellUnchecked(std::clamp(x + column - 1, 0, lastX),
                                  std::clamp(y + row - 1, 0, lastY))
                    .altitude;
    return n;
}

bool differsAround(const Neighbourhood& n) {
    for (const auto& row : n.z)
        for (const std::int8_t z : row)
            if (z != n.own())
                return true;
    return false;
}

Corners cornersOf(const Neighbourhood& n) {
    return {n.z[1][1], n.z[1][2], n.z[2][2], n.z[2][1]};
}

Quad stretchedQuad(const Corners& c, int half) {
    return {{half, -altitudePixels(c.top, half)},
            {2 * half, half - altitudePixels(c.right, half)},
            {half, 2 * half - altitudePixels(c.bottom, half)},
            {0, half - altitudePixels(c.left, half)}};
}

std::array<Triangle, 2> quadTriangles(const Quad& q) {
    return {Triangle{{q.top, q.right, q.left}}, Triangle{{q.right, q.bottom, q.left}}};
}

TriangleRows::TriangleRows(const Triangle& t) : m_p(t.p) {
    // Sorted by y, then x, so an edge shared by two triangles is always computed from the
    // same end and both sides agree on every pixel.
    std::sort(m_p.begin(), m_p.end(),
              [](ScreenPoint a, ScreenPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
}

int TriangleRows::firstRow() const {
    return m_p[0].y; // the first row whose centre (y + 0.5) is not above the top corner
}

int TriangleRows::endRow() const {
    return m_p[2].y;
}

std::optional<RowSpan> TriangleRows::row(int row) const {
    const std::array<ScreenPoint, 3>& p = m_p;
    const double yc = double(row) + 0.5;
    if (yc < double(p[0].y) || yc >= double(p[2].y))
        return std::nullopt;
    const double xLong = edgeX(p[0], p[2], yc);
    const double xShort = yc < double(p[1].y) ? edgeX(p[0], p[1], yc) : edgeX(p[1], p[2], yc);
    const double left = std::min(xLong, xShort);
    const double right = std::max(xLong, xShort);
    // Pixels whose centre x + 0.5 lies in [left, right).
    const int first = int(std::ceil(left - 0.5));
    const int end = int(std::ceil(right - 0.5));
    if (end <= first)
        return std::nullopt;
    return RowSpan{first, end};
}

std::optional<RowSpan> triangleRow(const Triangle& t, int row) {
    return TriangleRows(t).row(row);
}

bool quadContains(const Quad& q, ScreenPoint p) {
    for (const Triangle& t : quadTriangles(q))
        if (const auto span = triangleRow(t, p.y); span && span->contains(p.x))
            return true;
    return false;
}

ScreenRect quadBounds(const Quad& q) {
    const int top = std::min({q.top.y, q.right.y, q.bottom.y, q.left.y});
    const int bottom = std::max({q.top.y, q.right.y, q.bottom.y, q.left.y});
    return {q.left.x, top, q.right.x, bottom};
}

Vector3 cornerNormal(int own, int east, int south, int west, int north) {
    const auto d = [own](int z) { return double(kAltitudeStep * (z - own)); };
    const Vector3 toNeighbour[4] = {
        {22, 22, d(east)}, {-22, 22, d(south)}, {-22, -22, d(west)}, {22, -22, d(north)}};
    Vector3 sum;
    for (int i = 0; i < 4; ++i) {
        const Vector3 c = cross(toNeighbour[i], toNeighbour[(i + 1) % 4]);
        sum.x += c.x;
        sum.y += c.y;
        sum.z += c.z;
    }
    const double length = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z);
    return {sum.x / length, sum.y / length, sum.z / length};
}

double cornerLight(const Vector3& normal) {
    const double towardsLight = (normal.y + normal.z) / std::sqrt(2.0);
    return std::max(towardsLight, 0.0) / 2 + 0.5;
}

CornerLights cornerLights(const Neighbourhood& n) {
    return {lightAt(n, 1, 1), lightAt(n, 1, 2), lightAt(n, 2, 2), lightAt(n, 2, 1)};
}

} // namespace tb::iso

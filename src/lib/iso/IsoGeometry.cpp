#include "iso/IsoGeometry.h"

#include "iso/LandSurface.h"

#include <algorithm>
#include <cmath>

namespace tb::iso {

int halfTileForZoom(double zoom) {
    const double half = std::round(double(kHalfTile) * zoom);
    if (!(half >= kMinHalfTile)) // NaN too
        return kMinHalfTile;
    return half > kMaxHalfTile ? kMaxHalfTile : int(half);
}

int scaledLength(int length, int half) {
    if (half == kHalfTile)
        return length;
    const int scaled = floorDiv(2 * length * half + kHalfTile, 2 * kHalfTile);
    return length >= 1 ? std::max(scaled, 1) : scaled;
}

int altitudePixels(int z, int half) {
    // 4 * z * half / 22, rounded half up: the same for every cell at one altitude, so tiles
    // at equal altitudes meet without a seam at any zoom.
    return floorDiv(2 * kAltitudeStep * z * half + kHalfTile, 2 * kHalfTile);
}

ScreenPoint cellPoint(std::int32_t x, std::int32_t y, int z, int half) {
    return {(x - y) * half, (x + y) * half - altitudePixels(z, half)};
}

RowSpan diamondRow(int row, int half) {
    if (row < 0 || row >= 2 * half)
        return {};
    if (row < half)
        return {half - 1 - row, half + 1 + row};
    return {row - half, 3 * half - row};
}

bool diamondContains(ScreenPoint p, int half) {
    return diamondRow(p.y, half).contains(p.x);
}

ScreenRect itemRect(ScreenPoint at, int width, int height, int half) {
    const int w = scaledLength(width, half);
    const int h = scaledLength(height, half);
    // At 100% the left edge is x + 22 - width / 2: the art's middle column over the corner.
    const int left = at.x + half - (half == kHalfTile ? width / 2 : w / 2);
    const int top = at.y + 2 * half - h;
    return {left, top, left + w, top + h};
}

CellPos cellAtGround(ScreenPoint p, int z, int half) {
    // Twice the pixel's centre, relative to the centre of cell (0, 0)'s diamond; the
    // diamond of cell (X, Y) has its centre at ((X - Y) * half, (X + Y) * half) from there.
    const int a = 2 * p.x + 1 - 2 * half;
    const int b = 2 * (p.y + altitudePixels(z, half)) + 1 - 2 * half;
    const CellPos near{floorDiv(a + b + 2 * half, 4 * half), floorDiv(b - a + 2 * half, 4 * half)};
    // A pixel on the edge between two diamonds belongs to the one whose land is drawn there.
    const Quad flat = stretchedQuad({z, z, z, z}, half);
    for (const CellPos d :
         {CellPos{0, 0}, CellPos{1, 0}, CellPos{0, 1}, CellPos{-1, 0}, CellPos{0, -1}}) {
        const CellPos cell{near.x + d.x, near.y + d.y};
        const ScreenPoint at = cellPoint(cell.x, cell.y, 0, half);
        if (quadContains(flat, {p.x - at.x, p.y - at.y}))
            return cell;
    }
    return near;
}

CellBox cellsShown(const ScreenRect& rect, int half) {
    if (rect.empty())
        return {};
    const ScreenPoint corners[] = {{rect.left, rect.top},
                                   {rect.right - 1, rect.top},
                                   {rect.left, rect.bottom - 1},
                                   {rect.right - 1, rect.bottom - 1}};
    const CellPos first = cellAtGround(corners[0], 0, half);
    CellBox box{first.x, first.y, first.x, first.y};
    for (const ScreenPoint& c : corners) {
        const CellPos cell = cellAtGround(c, 0, half);
        box.x1 = std::min(box.x1, cell.x);
        box.y1 = std::min(box.y1, cell.y);
        box.x2 = std::max(box.x2, cell.x);
        box.y2 = std::max(box.y2, cell.y);
    }
    return box;
}

void forEachSquareReaching(const ScreenRect& rect, const Reach& reach, int unit, int columns,
                           int rows, int half, const std::function<void(int, int)>& fn) {
    if (rect.empty() || columns <= 0 || rows <= 0)
        return;
    // Square (ux, uy) at altitude 0, with d = ux + uy and e = ux - uy, covers the pixels
    // x in [(u * e - u + 1) * half, (u * e + u + 1) * half) and
    // y in [u * d * half, (u * d + 2 * u) * half).
    const int u = unit;
    const int span = u * half;
    // d: u*d*half - up < bottom  and  (u*d + 2u)*half + down > top.
    const int dFirst = floorDiv(rect.top - reach.down - 2 * span, span) + 1;
    const int dLast = floorDiv(rect.bottom + reach.up - 1, span);
    // e: (u*e - u + 1)*half - side < right  and  (u*e + u + 1)*half + side > left.
    const int eFirst = floorDiv(rect.left - reach.side - (u + 1) * half, span) + 1;
    const int eLast = floorDiv(rect.right + reach.side - 1 + (u - 1) * half, span);
    const int dMin = std::max(dFirst, 0);
    const int dMax = std::min(dLast, columns + rows - 2);
    for (int d = dMin; d <= dMax; ++d) {
        // ux = (d + e) / 2 within 0..columns - 1 and uy = (d - e) / 2 within 0..rows - 1.
        const int eLow = std::max({eFirst, d - 2 * (rows - 1), -d});
        const int eHigh = std::min({eLast, 2 * (columns - 1) - d, d});
        for (int e = eLow + ((eLow + d) & 1); e <= eHigh; e += 2)
            fn((d + e) / 2, (d - e) / 2);
    }
}

} // namespace tb::iso

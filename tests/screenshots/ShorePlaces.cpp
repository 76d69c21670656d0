#include "ShorePlaces.h"

#include "demo/DemoArt.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace shots {
namespace {

using tb::demo::Terrain;

constexpr int kUnknown = -1;

// The terrain of every tile id of the demo world, kUnknown for the others.
const std::array<std::int8_t, 0x10000>& terrainOfTile() {
    static const std::array<std::int8_t, 0x10000> table = [] {
        std::array<std::int8_t, 0x10000> t{};
        t.fill(kUnknown);
        for (const tb::demo::TileFamily& family : tb::demo::tileFamilies())
            for (std::uint16_t id : family.ids)
                t[id] = std::int8_t(family.terrain);
        return t;
    }();
    return table;
}

int terrainAt(const tb::MapImage& map, int x, int y) {
    return terrainOfTile()[map.cellUnchecked(x, y).tileId];
}

bool isWater(int terrain) {
    return terrain == int(Terrain::Water) || terrain == int(Terrain::DeepWater);
}

// Sand cells inland of the shore cell, at most kWideBeach, not beyond the area.
int beachWidth(const tb::MapImage& map, const CellArea& area, const ShoreCell& shore) {
    const int step = shore.landToWest ? -1 : 1;
    int width = 0;
    for (int x = shore.x + step;
         width < kWideBeach && x >= area.left && x < area.left + area.columns &&
         terrainAt(map, x, shore.y) == int(Terrain::Sand);
         x += step)
        ++width;
    return width;
}

// Where land and water meet on one row of `area`: the first water cell beside the land,
// when they meet exactly once.
std::optional<ShoreCell> shoreOnRow(const tb::MapImage& map, const CellArea& area, int y) {
    std::optional<ShoreCell> shore;
    bool wasWater = isWater(terrainAt(map, area.left, y));
    for (int x = area.left + 1; x < area.left + area.columns; ++x) {
        const bool water = isWater(terrainAt(map, x, y));
        if (water == wasWater)
            continue;
        if (shore)
            return std::nullopt; // a second meeting: a river, an island, a bay
        shore = water ? ShoreCell{x, y, true} : ShoreCell{x - 1, y, false};
        wasWater = water;
    }
    if (shore)
        shore->beach = beachWidth(map, area, *shore);
    return shore;
}

} // namespace

CellArea mostVariedArea(const tb::MapImage& map, int columns, int rows) {
    constexpr int kStep = 32;  // between the areas tried
    constexpr int kSample = 4; // between the cells counted
    CellArea best{0, 0, columns, rows};
    double bestScore = -1;
    for (int top = 0; top + rows <= map.height(); top += kStep) {
        for (int left = 0; left + columns <= map.width(); left += kStep) {
            std::array<int, tb::demo::kTerrainCount> counts{};
            int total = 0;
            for (int y = top; y < top + rows; y += kSample) {
                for (int x = left; x < left + columns; x += kSample) {
                    int terrain = terrainAt(map, x, y);
                    if (terrain == int(Terrain::DeepWater))
                        terrain = int(Terrain::Water); // one kind at this distance
                    if (terrain != kUnknown) {
                        ++counts[std::size_t(terrain)];
                        ++total;
                    }
                }
            }
            if (total == 0)
                continue;
            // Each kind with a share worth seeing counts whole; the entropy breaks ties
            // in favour of even shares.
            double score = 0;
            for (int count : counts) {
                const double share = double(count) / total;
                if (share >= 0.03)
                    score += 1;
                if (share > 0)
                    score -= 0.5 * share * std::log(share);
            }
            if (score > bestScore) {
                bestScore = score;
                best = {left, top, columns, rows};
            }
        }
    }
    return best;
}

CellArea coastArea(const tb::MapImage& map, int columns, int rows) {
    constexpr int kStep = 8;
    constexpr int kMargin = kWideBeach; // room for the beach and the water beside it
    CellArea best{0, 0, columns, rows};
    double bestScore = -1e9;
    for (int top = 0; top + rows <= map.height(); top += kStep) {
        for (int left = 0; left + columns <= map.width(); left += kStep) {
            const CellArea area{left, top, columns, rows};
            // Cheap test first: a coast crosses the middle row.
            const std::optional<ShoreCell> middle = shoreOnRow(map, area, top + rows / 2);
            if (!middle || middle->x < left + kMargin || middle->x >= left + columns - kMargin)
                continue;
            int crossed = 0;
            int water = 0;
            for (int y = top; y < top + rows; ++y) {
                const std::optional<ShoreCell> shore = shoreOnRow(map, area, y);
                if (shore && shore->x >= left + kMargin && shore->x < left + columns - kMargin)
                    crossed += shore->beach == kWideBeach ? 2 : 1;
                for (int x = left; x < left + columns; ++x)
                    water += isWater(terrainAt(map, x, y));
            }
            const double waterShare = double(water) / (columns * rows);
            const double score = crossed - 2.0 * rows * std::abs(waterShare - 0.4);
            if (score > bestScore) {
                bestScore = score;
                best = area;
            }
        }
    }
    return best;
}

std::vector<ShoreCell> shoreLine(const tb::MapImage& map, const CellArea& area) {
    std::vector<ShoreCell> line;
    for (int y = area.top; y < area.top + area.rows; ++y)
        if (const std::optional<ShoreCell> shore = shoreOnRow(map, area, y))
            line.push_back(*shore);
    return line;
}

} // namespace shots

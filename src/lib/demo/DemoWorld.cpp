#include "demo/DemoWorld.h"

#include "demo/DemoNoise.h"
#include "demo/DemoRelief.h"
#include "demo/DemoTerrainArt.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <cmath>

namespace tb::demo {
namespace {

// Noise is computed every kStep cells and interpolated in between: the world's features
// are hundreds of cells wide, so this loses nothing a user would see.
constexpr int kStep = 8;

constexpr std::int8_t kSeaAltitude = -5; // the client's water level
constexpr int kLowlandTop = 12;          // altitude of the land at the foot of the mountains
constexpr int kPeakAltitude = 118;

// The noise fields of one world and the levels that divide them into terrains. Levels
// are quantiles of the fields themselves, so every seed gets the same share of sea, land
// and mountains.
struct WorldFields {
    CoarseField height;
    CoarseField moisture;
    CoarseField riverDistance; // signed distance, in cells, to the river contour
    CoarseField riverMask;     // where rivers run at all, and how wide

    float deepLevel, seaLevel, coastLevel, footLevel, mountainLevel, snowLevel, peakLevel;
    float dryLevel, forestLevel, riverMaskLevel;

    WorldFields(int width, int height)
        : height(width, height, kStep), moisture(width, height, kStep),
          riverDistance(width, height, kStep), riverMask(width, height, kStep) {}
};

void fillFields(WorldFields& f, int width, int height, std::uint64_t seed) {
    const float continent = float(std::max(width, height)) / 3.5f;
    const float climate = float(std::max(width, height)) / 8.0f;
    const float river = float(std::max(width, height)) / 7.0f;
    const float margin = float(std::min(width, height)) / 7.0f;
    const std::uint64_t seedHeight = mix64(seed * 8 + 0);
    const std::uint64_t seedMoisture = mix64(seed * 8 + 1);
    const std::uint64_t seedRiver = mix64(seed * 8 + 2);
    const std::uint64_t seedMask = mix64(seed * 8 + 3);
    const std::uint64_t seedDetail = mix64(seed * 8 + 4);
    constexpr float kDetail = 24.0f; // wavelength of the ragged edges, in cells

    CoarseField riverRaw(width, height, kStep);
    for (int row = 0; row < f.height.rows(); ++row) {
        const float y = float(row * kStep);
        for (int col = 0; col < f.height.columns(); ++col) {
            const float x = float(col * kStep);
            // A fine layer shared by height and moisture roughens coasts and forest edges.
            const float detail = fractalNoise(seedDetail, x / kDetail, y / kDetail, 2) - 0.5f;
            float h = fractalNoise(seedHeight, x / continent, y / continent, 7) + 0.03f * detail;
            // Sink the land towards the edges so the world is an island group in a sea.
            const float edge =
                std::min(std::min(x, y), std::min(float(width - 1) - x, float(height - 1) - y));
            if (edge < margin) {
                const float t = 1.0f - std::max(edge, 0.0f) / margin;
                h -= 0.3f * t * t;
            }
            f.height.at(col, row) = h;
            f.moisture.at(col, row) =
                fractalNoise(seedMoisture, x / climate, y / climate, 4) + 0.08f * detail;
            riverRaw.at(col, row) = fractalNoise(seedRiver, x / river, y / river, 3);
            f.riverMask.at(col, row) = fractalNoise(seedMask, x / continent, y / continent, 2);
        }
    }

    f.deepLevel = quantile(f.height, 0.22);
    f.seaLevel = quantile(f.height, 0.38);
    f.coastLevel = quantile(f.height, 0.405);
    f.footLevel = quantile(f.height, 0.84);
    f.mountainLevel = quantile(f.height, 0.87);
    f.snowLevel = quantile(f.height, 0.975);
    f.peakLevel = quantile(f.height, 1.0);
    // Whatever the noise did near the edges, the outermost cells are sea; the cap rises
    // inland so the coast there keeps its shape.
    const float range = std::max(f.peakLevel - f.seaLevel, 1e-6f);
    for (int row = 0; row < f.height.rows(); ++row) {
        for (int col = 0; col < f.height.columns(); ++col) {
            const int x = col * kStep, y = row * kStep;
            const int edge = std::min(std::min(x, y), std::min(width - 1 - x, height - 1 - y));
            const float inland = float(std::max(edge - kStep, 0)) / margin;
            float& h = f.height.at(col, row);
            h = std::min(h, f.seaLevel - 0.002f + inland * range);
        }
    }
    f.dryLevel = quantile(f.moisture, 0.12);
    f.forestLevel = quantile(f.moisture, 0.58);
    f.riverMaskLevel = quantile(f.riverMask, 0.45);

    // Rivers follow one contour line of a smooth field; dividing by the field's slope turns
    // the field into a distance from that line, so a river keeps its width everywhere.
    const float contour = quantile(riverRaw, 0.5);
    for (int row = 0; row < f.height.rows(); ++row) {
        for (int col = 0; col < f.height.columns(); ++col) {
            const int c0 = std::max(col - 1, 0), c1 = std::min(col + 1, f.height.columns() - 1);
            const int r0 = std::max(row - 1, 0), r1 = std::min(row + 1, f.height.rows() - 1);
            const float gx =
                (riverRaw.at(c1, row) - riverRaw.at(c0, row)) / float((c1 - c0) * kStep);
            const float gy =
                (riverRaw.at(col, r1) - riverRaw.at(col, r0)) / float((r1 - r0) * kStep);
            const float slope = std::max(std::sqrt(gx * gx + gy * gy), 1e-6f);
            f.riverDistance.at(col, row) = (riverRaw.at(col, row) - contour) / slope;
        }
    }
}

struct CellResult {
    Terrain terrain;
    bool river;
    int altitude;
};

CellResult classify(const WorldFields& f, int x, int y, std::uint64_t seed) {
    const float h = f.height.sample(x, y);
    if (h < f.seaLevel)
        return {h < f.deepLevel ? Terrain::DeepWater : Terrain::Water, false, kSeaAltitude};

    const float jitter = unitFloat(hash2(seed ^ 0xA17u, x, y));
    if (h >= f.mountainLevel) {
        const float t = (h - f.mountainLevel) / std::max(f.peakLevel - f.mountainLevel, 1e-6f);
        const int altitude = kLowlandTop +
                             int(std::pow(t, 1.3f) * float(kPeakAltitude - kLowlandTop)) +
                             int(jitter * 4.0f);
        return {h >= f.snowLevel ? Terrain::Snow : Terrain::Rock, false, altitude};
    }

    const float t = (h - f.seaLevel) / std::max(f.mountainLevel - f.seaLevel, 1e-6f);
    // Rolling hills on the lowland, fading out towards the coast.
    const float rolling = std::clamp((t - 0.04f) * 10.0f, 0.0f, 1.0f);
    const int altitude = int(t * float(kLowlandTop - kReliefSteps)) +
                         int(float(lowlandRelief(seed, x, y)) * rolling);
    if (h < f.coastLevel)
        return {Terrain::Sand, false, altitude};

    const float mask = f.riverMask.sample(x, y);
    if (mask > f.riverMaskLevel && h < f.footLevel) {
        // Wider where the mask is strong, thinning out to nothing at its edge.
        const float halfWidth = std::min((mask - f.riverMaskLevel) * 40.0f, 2.5f);
        const float distance = std::fabs(f.riverDistance.sample(x, y));
        if (distance < halfWidth)
            return {Terrain::Water, true, std::max(altitude - 2, int(kSeaAltitude))};
        if (distance < halfWidth + 1.0f)
            return {Terrain::Sand, false, altitude};
    }

    if (h >= f.footLevel)
        return {Terrain::Dirt, false, altitude};
    const float wet = f.moisture.sample(x, y);
    if (wet < f.dryLevel)
        return {Terrain::Dirt, false, altitude};
    if (wet > f.forestLevel)
        return {Terrain::Forest, false, altitude};
    return {Terrain::Grass, false, altitude};
}

} // namespace

std::vector<unsigned char> generateDemoMap(const MapVariant& variant, std::uint64_t seed,
                                           DemoWorldStats* stats) {
    const int width = variant.width;
    const int height = variant.height;
    const int heightBlocks = variant.heightBlocks();
    std::vector<unsigned char> bytes(std::size_t(variant.fileSize), 0);

    WorldFields fields(width, height);
    fillFields(fields, width, height, seed);

    DemoWorldStats local;
    local.minAltitude = 127;
    local.maxAltitude = -128;
    const std::uint64_t tileSeed = mix64(seed ^ 0x5EEDu);
    std::array<const std::vector<std::uint16_t>*, kTerrainCount> idsOf{};
    for (const TileFamily& f : tileFamilies())
        idsOf[std::size_t(f.terrain)] = &f.ids;
    // Block by block, in file order, so the writes run straight through the buffer.
    for (int bx = 0; bx < variant.widthBlocks(); ++bx) {
        for (int by = 0; by < heightBlocks; ++by) {
            for (int cy = 0; cy < kCellsPerBlockSide; ++cy) {
                const int y = by * kCellsPerBlockSide + cy;
                for (int cx = 0; cx < kCellsPerBlockSide; ++cx) {
                    const int x = bx * kCellsPerBlockSide + cx;
                    const CellResult c = classify(fields, x, y, seed);
                    const std::vector<std::uint16_t>& ids = *idsOf[std::size_t(c.terrain)];
                    const std::uint16_t id = ids[hash2(tileSeed, x, y) % ids.size()];
                    const int altitude = std::clamp(c.altitude, -128, 127);
                    unsigned char* p = bytes.data() + cellOffset(x, y, heightBlocks);
                    writeU16(p, id);
                    p[2] = static_cast<unsigned char>(static_cast<std::int8_t>(altitude));
                    ++local.cells[std::size_t(c.terrain)];
                    local.riverCells += c.river ? 1 : 0;
                    local.minAltitude = std::min(local.minAltitude, altitude);
                    local.maxAltitude = std::max(local.maxAltitude, altitude);
                }
            }
        }
    }
    addDemoTransitions(bytes, variant, local);
    if (stats)
        *stats = local;
    return bytes;
}

} // namespace tb::demo

#include "demo/DemoItems.h"

#include "core/MapVariant.h"
#include "core/StaticsMap.h"
#include "core/TileData.h"
#include "demo/DemoArt.h"
#include "demo/DemoHues.h"
#include "demo/DemoItemArt.h"
#include "demo/DemoNoise.h"
#include "demo/DemoRelief.h"
#include "demo/DemoTerrainArt.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tb::demo {
namespace {

using namespace tileflag;

constexpr std::uint64_t kItemSeed = 0x1D3A5C77ull;
constexpr std::uint64_t kTreeFlags = Background | Impassable | 0x4000; // 0x4000: part of a whole
constexpr std::uint64_t kRockFlags = Impassable | 0x4000;
constexpr std::uint64_t kWallFlags = Wall | Impassable | 0x4000;
constexpr std::uint64_t kFloorFlags = Background | Surface | 0x2000; // 0x2000: hovers over
constexpr std::uint64_t kBarrelFlags = 0;
constexpr std::uint64_t kCrateFlags = Surface | PartialHue; // something may stand on it
constexpr std::uint16_t kWallId = 0x0064;
constexpr std::uint16_t kFloorId = 0x0519;
constexpr std::uint16_t kCrateId = 0x0E3D;
constexpr std::uint16_t kBarrelId = 0x0E77;

const std::array<DemoItem, 10> kItems = {{
    {kWallId, "stone wall", ItemShape::Wall, 20, kWallFlags},
    {kFloorId, "stone pavers", ItemShape::Floor, 0, kFloorFlags},
    {0x0CCA, "tree", ItemShape::Tree, 20, kTreeFlags},
    {0x0CCB, "tree", ItemShape::Tree, 20, kTreeFlags},
    {0x0CCD, "tree", ItemShape::Tree, 20, kTreeFlags},
    {kCrateId, "large crate", ItemShape::Crate, 6, kCrateFlags},
    {kBarrelId, "barrel", ItemShape::Barrel, 5, kBarrelFlags},
    {0x1363, "rock", ItemShape::Rock, 3, kRockFlags},
    {0x1364, "rock", ItemShape::Rock, 3, kRockFlags},
    {0x1368, "rock", ItemShape::Rock, 2, kRockFlags},
}};
constexpr std::uint16_t kTreeIds[] = {0x0CCA, 0x0CCB, 0x0CCD};
constexpr std::uint16_t kRockIds[] = {0x1363, 0x1364, 0x1368};

// How often a cell of the terrain gets one, in 1/1000.
constexpr std::uint64_t kTreesPerThousandForest = 110;
constexpr std::uint64_t kRocksPerThousandRock = 45;
constexpr int kYardSide = 9; // walls around a floor of 7 x 7

// What the world painted a land tile id as.
std::array<std::uint8_t, 0x10000> terrainOfIds() {
    std::array<std::uint8_t, 0x10000> terrain;
    terrain.fill(0xFF);
    for (const TileFamily& f : tileFamilies())
        for (const std::uint16_t id : f.ids)
            terrain[id] = std::uint8_t(f.terrain);
    return terrain;
}

} // namespace

std::span<const DemoItem> demoItems() {
    return kItems;
}

ItemImage demoItemImage(const DemoItem& item) {
    return drawDemoItem(item.shape, item.id);
}

void addDemoItemArt(DemoArtFiles& art) {
    std::vector<unsigned char>& artIndex = art.artIndex;
    std::vector<unsigned char>& artData = art.artData;
    constexpr std::size_t kEntry = 12;
    const std::size_t entries = 0x4000 + std::size_t(kItems.back().id) + 1;
    if (artIndex.size() < entries * kEntry)
        artIndex.resize(entries * kEntry, 0xFF);
    for (const DemoItem& item : kItems) {
        const ItemImage image = demoItemImage(item);
        const std::vector<unsigned char> bytes = encodeItemArt(image);
        long sum[3] = {0, 0, 0}, drawn = 0;
        for (const std::uint16_t p : image.pixels) {
            if (!(p & ItemImage::kOpaque))
                continue;
            sum[0] += (p >> 10) & 31;
            sum[1] += (p >> 5) & 31;
            sum[2] += p & 31;
            ++drawn;
        }
        const std::size_t radarAt = (0x4000 + std::size_t(item.id)) * 2;
        if (drawn > 0 && radarAt + 2 <= art.radarColours.size())
            writeU16(
                art.radarColours.data() + radarAt,
                std::uint16_t((sum[0] / drawn) << 10 | (sum[1] / drawn) << 5 | sum[2] / drawn));
        unsigned char* entry = artIndex.data() + (0x4000 + std::size_t(item.id)) * kEntry;
        writeI32(entry, std::int32_t(artData.size()));
        writeU32(entry + 4, std::uint32_t(bytes.size()));
        writeU32(entry + 8, 0);
        artData.insert(artData.end(), bytes.begin(), bytes.end());
    }
}

std::vector<unsigned char> generateDemoTileData() {
    constexpr std::size_t kLandEntry = 30, kItemEntry = 41, kNameAt = 21;
    constexpr std::size_t landPart = 512 * (4 + 32 * kLandEntry);
    std::vector<unsigned char> bytes(landPart + 2048 * (4 + 32 * kItemEntry), 0);
    const auto setName = [](unsigned char* at, std::string_view name) {
        std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 20), at);
    };
    for (const TileFamily& f : tileFamilies()) {
        for (const std::uint16_t id : f.ids) {
            unsigned char* e =
                bytes.data() + (id / 32) * (4 + 32 * kLandEntry) + 4 + (id % 32) * kLandEntry;
            writeU16(e + 8, demoLandTexture(id));
            setName(e + 10, f.name);
        }
    }
    for (const DemoTransition& t : demoTransitions())
        setName(bytes.data() + (t.id / 32) * (4 + 32 * kLandEntry) + 4 + (t.id % 32) * kLandEntry +
                    10,
                t.from == Terrain::Grass ? "Grass and sand" : "Sand and water");
    for (const DemoItem& item : kItems) {
        unsigned char* e = bytes.data() + landPart + (item.id / 32) * (4 + 32 * kItemEntry) + 4 +
                           (item.id % 32) * kItemEntry;
        writeU32(e, std::uint32_t(item.flags));
        writeU32(e + 4, std::uint32_t(item.flags >> 32));
        e[8] = 255; // weight: not to be picked up
        e[20] = item.height;
        setName(e + kNameAt, item.name);
    }
    return bytes;
}

DemoStaticsFiles generateDemoStatics(const std::vector<unsigned char>& map,
                                     const MapVariant& variant, std::uint64_t seed) {
    const int heightBlocks = variant.heightBlocks();
    const std::size_t blocks = std::size_t(variant.widthBlocks()) * std::size_t(heightBlocks);
    const auto terrain = terrainOfIds();
    const auto cellAt = [&](std::int32_t x, std::int32_t y) {
        const unsigned char* c = map.data() + cellOffset(x, y, heightBlocks);
        return std::pair{readU16(c), static_cast<std::int8_t>(c[2])};
    };
    const auto terrainAt = [&](std::int32_t x, std::int32_t y) {
        return terrain[cellAt(x, y).first];
    };
    DemoStaticsFiles out;
    std::vector<std::vector<StaticRecord>> perBlock(blocks);
    const auto place = [&](std::int32_t x, std::int32_t y, std::uint16_t id, std::int8_t z,
                           std::uint16_t hue = 0) {
        perBlock[std::size_t(x / 8) * std::size_t(heightBlocks) + std::size_t(y / 8)].push_back(
            {id, std::uint8_t(x % 8), std::uint8_t(y % 8), z, hue});
    };

    // The yard first: on even grass near the middle of the map, with sand a few cells away.
    const auto yardFits = [&](std::int32_t left, std::int32_t top) {
        const std::int8_t z0 = cellAt(left, top).second;
        bool nearSand = false;
        for (std::int32_t y = top - 4; y < top + kYardSide + 4; ++y) {
            for (std::int32_t x = left - 4; x < left + kYardSide + 4; ++x) {
                const bool inside =
                    x >= left && y >= top && x < left + kYardSide && y < top + kYardSide;
                const std::uint8_t t = terrainAt(x, y);
                if (inside &&
                    (t != std::uint8_t(Terrain::Grass) || std::abs(cellAt(x, y).second - z0) > 2))
                    return false;
                nearSand |= !inside && t == std::uint8_t(Terrain::Sand);
            }
        }
        return nearSand;
    };
    // Candidates every few cells, nearest the middle of the map first.
    const std::int32_t cx = variant.width / 2, cy = variant.height / 2;
    std::vector<std::pair<std::int64_t, std::pair<std::int32_t, std::int32_t>>> candidates;
    for (std::int32_t top = 8; top + kYardSide + 8 <= variant.height; top += 5)
        for (std::int32_t left = 8; left + kYardSide + 8 <= variant.width; left += 5) {
            const std::int64_t dx = left - cx, dy = top - cy;
            candidates.push_back({dx * dx + dy * dy, {left, top}});
        }
    std::sort(candidates.begin(), candidates.end());
    for (const auto& [distance, corner] : candidates) {
        const auto [left, top] = corner;
        if (!yardFits(left, top))
            continue;
        for (std::int32_t y = top; y < top + kYardSide; ++y) {
            for (std::int32_t x = left; x < left + kYardSide; ++x) {
                const bool edge =
                    x == left || y == top || x == left + kYardSide - 1 || y == top + kYardSide - 1;
                const bool gate = y == top + kYardSide - 1 && x == left + kYardSide / 2;
                place(x, y, edge && !gate ? kWallId : kFloorId, cellAt(x, y).second);
                ++out.yardItems;
            }
        }
        // Goods in their hues near the yard's back corner, where the walls hide none of
        // them: barrels hued whole, crates whose iron bands alone take the hue (PartialHue).
        const struct {
            int dx, dy;
            std::uint16_t id, hue;
        } goods[] = {{1, 1, kBarrelId, kDemoRedHue},   {2, 1, kBarrelId, kDemoBlueHue},
                     {1, 2, kBarrelId, kDemoGreenHue}, {4, 1, kCrateId, kDemoGoldHue},
                     {1, 4, kCrateId, kDemoBlueHue},   {3, 3, kCrateId, kDemoRedHue}};
        for (const auto& g : goods) {
            place(left + g.dx, top + g.dy, g.id, cellAt(left + g.dx, top + g.dy).second, g.hue);
            ++out.huedItems;
        }
        break;
    }

    // Trees and rocks, where no yard stands.
    for (std::int32_t x = 0; x < variant.width; ++x) {
        for (std::int32_t y = 0; y < variant.height; ++y) {
            const auto [tile, z] = cellAt(x, y);
            const std::uint8_t t = terrain[tile];
            if (t != std::uint8_t(Terrain::Forest) && t != std::uint8_t(Terrain::Rock))
                continue;
            const std::uint64_t h = hash2(seed ^ kItemSeed, x, y);
            const bool forest = t == std::uint8_t(Terrain::Forest);
            if (h % 1000 >= (forest ? kTreesPerThousandForest : kRocksPerThousandRock))
                continue;
            const auto& ids = forest ? kTreeIds : kRockIds;
            place(x, y, ids[(h >> 20) % 3], z);
            ++(forest ? out.trees : out.rocks);
        }
    }

    out.index.assign(blocks * kStaticIndexEntrySize, 0);
    for (std::size_t b = 0; b < blocks; ++b) {
        unsigned char* entry = out.index.data() + b * kStaticIndexEntrySize;
        auto& records = perBlock[b];
        // File order inside a block: row by row, as the client's own files come.
        std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& c) {
            return a.y != c.y ? a.y < c.y : a.x < c.x;
        });
        if (records.empty()) {
            writeI32(entry, -1);
            continue;
        }
        writeI32(entry, std::int32_t(out.data.size()));
        writeU32(entry + 4, std::uint32_t(records.size() * kStaticRecordSize));
        for (const StaticRecord& r : records) {
            unsigned char bytes[kStaticRecordSize];
            writeStaticRecord(bytes, r);
            out.data.insert(out.data.end(), bytes, bytes + kStaticRecordSize);
        }
    }
    return out;
}

} // namespace tb::demo

#include "demo/DemoItems.h"

#include "core/MapVariant.h"
#include "core/StaticsMap.h"
#include "core/TileData.h"
#include "demo/DemoArt.h"
#include "demo/DemoNoise.h"
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
constexpr std::uint16_t kWallId = 0x0064;
constexpr std::uint16_t kFloorId = 0x0519;

const std::array<DemoItem, 8> kItems = {{
    {kWallId, "stone wall", ItemShape::Wall, 20, kWallFlags},
    {kFloorId, "stone pavers", ItemShape::Floor, 0, kFloorFlags},
    {0x0CCA, "tree", ItemShape::Tree, 20, kTreeFlags},
    {0x0CCB, "tree", ItemShape::Tree, 20, kTreeFlags},
    {0x0CCD, "tree", ItemShape::Tree, 20, kTreeFlags},
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

std::uint16_t colour(float r, float g, float b) {
    const auto c = [](float v) { return std::clamp(int(v), 0, 255); };
    return std::uint16_t(ItemImage::kOpaque | toRgb555(c(r), c(g), c(b)));
}

ItemImage blank(int width, int height) {
    ItemImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t(width) * std::size_t(height), 0);
    return image;
}

void put(ItemImage& image, int x, int y, std::uint16_t value) {
    if (x >= 0 && y >= 0 && x < image.width && y < image.height)
        image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)] = value;
}

ItemImage treeImage(std::uint16_t id) {
    ItemImage image = blank(44, 72);
    const float lean = float(int(id % 3) - 1) * 2.0f;
    for (int y = 44; y < 72; ++y) // the trunk
        for (int x = 19; x < 25; ++x)
            put(image, x, y, colour(96 + (x - 19) * 8, 64, 32));
    for (int y = 0; y < 56; ++y) { // the crown, lit from the upper left
        for (int x = 0; x < 44; ++x) {
            const float dx = (float(x) - 22.0f - lean) / 20.0f;
            const float dy = (float(y) - 26.0f) / 25.0f;
            const float d = dx * dx + dy * dy;
            const float rough = valueNoise(kItemSeed + id, float(x) / 3.0f, float(y) / 3.0f);
            if (d > 0.85f + 0.25f * rough)
                continue;
            const float light = 1.2f - 0.5f * (dx + dy) - 0.5f * rough;
            put(image, x, y, colour(30 * light, (70 + 30 * float(id % 2)) * light, 24 * light));
        }
    }
    return image;
}

ItemImage rockImage(std::uint16_t id) {
    ItemImage image = blank(30, 20);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            const float dx = (float(x) - 15.0f) / 14.0f;
            const float dy = (float(y) - 11.0f) / 9.0f;
            const float rough = valueNoise(kItemSeed ^ id, float(x) / 2.5f, float(y) / 2.5f);
            if (dx * dx + dy * dy > 0.8f + 0.3f * rough)
                continue;
            const float light = 1.15f - 0.4f * (dx + dy) - 0.3f * rough;
            put(image, x, y, colour(120 * light, 116 * light, 110 * light));
        }
    }
    return image;
}

// A block of wall seen from the south-east: its top, then two faces of bricks.
ItemImage wallImage() {
    ItemImage image = blank(44, 62);
    for (int y = 0; y < 62; ++y) {
        for (int x = 0; x < 44; ++x) {
            const int top = std::abs(x - 22) / 2; // the diamond's upper edge
            if (y < top || y > 61 - std::abs(x - 22) / 2)
                continue;
            const bool face = y >= 22 - top;
            const bool mortar = face && ((y % 8) == 0 || ((x + (y / 8) % 2 * 4) % 8) == 0);
            const float shade = !face ? 1.1f : x < 22 ? 0.9f : 0.75f;
            const float base = mortar ? 70.0f : 150.0f;
            put(image, x, y, colour(base * shade, base * 0.95f * shade, base * 0.85f * shade));
        }
    }
    return image;
}

// A flat tile lying on the ground, the shape a land tile has.
ItemImage floorImage() {
    ItemImage image = blank(44, 44);
    for (int y = 0; y < 44; ++y) {
        const int half = y < 22 ? y + 1 : 44 - y;
        for (int x = 22 - half; x < 22 + half; ++x) {
            const bool joint = (x + y) % 11 == 0 || (x - y + 44) % 11 == 0;
            const float v =
                joint ? 90.0f : 160.0f + 20.0f * valueNoise(kItemSeed, float(x), float(y));
            put(image, x, y, colour(v, v * 0.97f, v * 0.9f));
        }
    }
    return image;
}

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
    switch (item.shape) {
    case ItemShape::Tree:
        return treeImage(item.id);
    case ItemShape::Rock:
        return rockImage(item.id);
    case ItemShape::Wall:
        return wallImage();
    case ItemShape::Floor:
        return floorImage();
    }
    return itemPlaceholderImage();
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
    const auto setLandName = [&](std::uint16_t id, std::string_view name) {
        setName(bytes.data() + (id / 32) * (4 + 32 * kLandEntry) + 4 + (id % 32) * kLandEntry + 10,
                name);
    };
    for (const TileFamily& f : tileFamilies())
        for (const std::uint16_t id : f.ids)
            setLandName(id, f.name);
    for (const DemoTransition& t : demoTransitions())
        setLandName(t.id, t.from == Terrain::Grass ? "Grass and sand" : "Sand and water");
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
    const auto place = [&](std::int32_t x, std::int32_t y, std::uint16_t id, std::int8_t z) {
        perBlock[std::size_t(x / 8) * std::size_t(heightBlocks) + std::size_t(y / 8)].push_back(
            {id, std::uint8_t(x % 8), std::uint8_t(y % 8), z, 0});
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

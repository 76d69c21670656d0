#include "demo/DemoArt.h"

#include "demo/DemoNoise.h"
#include "demo/DemoTerrainArt.h"
#include "editor/Stamp.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace tb::demo {
namespace {

constexpr int kLandEntryLength = 2048; // what the editor accepts as a land tile entry
constexpr int kLandPixels = 1012;
constexpr int kIndexEntrySize = 12;
constexpr std::uint64_t kArtSeed = 0x7B4D5A11ull;

std::vector<TileFamily> makeFamilies() {
    // Indexed by Terrain; the mean colours are those of a bright daylight palette.
    return {
        {Terrain::DeepWater, "Deep water", {0x0136, 0x0137}, 16, 56, 120, 10},
        {Terrain::Water, "Water", {0x00A8, 0x00A9, 0x00AA, 0x00AB}, 40, 96, 168, 14},
        {Terrain::Sand, "Sand", {0x0016, 0x0017, 0x0018, 0x0019}, 208, 184, 128, 20},
        {Terrain::Grass, "Grass", {0x0003, 0x0004, 0x0005, 0x0006}, 72, 128, 40, 24},
        {Terrain::Forest, "Forest", {0x00C4, 0x00C5, 0x00C6, 0x00C7}, 36, 80, 24, 28},
        {Terrain::Dirt,
         "Dirt",
         {0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077, 0x0078},
         124,
         92,
         56,
         24},
        {Terrain::Rock,
         "Rock",
         {0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6,
          0x00E7},
         124,
         116,
         104,
         34},
        {Terrain::Snow, "Snow", {0x011A, 0x011B, 0x011C, 0x011D}, 220, 226, 232, 12},
    };
}

// The cave walls share one look; they paint no terrain of the world, so they are no family
// of tileFamilies().
const TileFamily& caveWallFamily() {
    static const TileFamily family{Terrain::Rock, "Cave wall", {}, 104, 86, 68, 30};
    return family;
}

// Where tile `id` sits in the stamp frame, or nullopt for another id.
struct FramePlace {
    int row, column;
};
std::optional<FramePlace> framePlaceOf(std::uint16_t id) {
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            if (kStampFrame[std::size_t(row)][std::size_t(column)] == id)
                return FramePlace{row, column};
    return std::nullopt;
}

const TileFamily* familyOfId(std::uint16_t id) {
    if (framePlaceOf(id))
        return &caveWallFamily();
    for (const TileFamily& f : tileFamilies())
        if (std::find(f.ids.begin(), f.ids.end(), id) != f.ids.end())
            return &f;
    for (std::uint16_t refused : kRefusedLandIds)
        if (id == refused)
            return &tileFamily(Terrain::Grass);
    return nullptr;
}

// The colour of one pixel of tile `id` at picture position (px, py). A `size` > 0 makes the
// pattern wrap at that many pixels (textures); land tiles (size 0) do not wrap.
struct Pixel {
    int red, green, blue;
};
Pixel familyPixel(const TileFamily& f, std::uint16_t id, int px, int py, int size) {
    const std::uint64_t seed = mix64(kArtSeed ^ (std::uint64_t(id) << 20));
    const bool water = f.terrain == Terrain::Water || f.terrain == Terrain::DeepWater;
    // Water gets long, flat swells; land gets round blotches. Wavelengths in pixels divide
    // every texture size, so the wrapped lattice fits the picture exactly.
    const int wx = water ? 16 : 8;
    const int wy = water ? 4 : 8;
    const float blotch = fractalNoise(seed, float(px) / float(wx), float(py) / float(wy), 2,
                                      size > 0 ? size / wx : 0, size > 0 ? size / wy : 0);
    const float grain = unitFloat(hash2(seed, px, py)) - 0.5f;
    const float shade = 1.0f + 0.35f * (blotch - 0.5f) + float(f.grain) / 128.0f * grain;
    // A small per-id tint, so the look-alike tiles of one family are told apart.
    const int tint = int(mix64(id) % 9) - 4;
    auto channel = [&](int base) {
        const int v = int(std::lround(float(base) * shade)) + tint;
        return std::clamp(v, 8, 255);
    };
    return {channel(f.red), channel(f.green), channel(f.blue)};
}

// A cave-wall pixel: the family pattern, darkened towards the outer edges of the frame
// piece at `place` (an upright 45 x 45 square, x to the right, y down).
Pixel caveWallPixel(const TileFamily& f, std::uint16_t id, FramePlace place, int px, int py) {
    constexpr int kRim = 9;
    constexpr int kLast = 44;
    int edge = kRim; // distance to the nearest outer edge, capped at the rim's width
    if (place.row == 0)
        edge = std::min(edge, py);
    if (place.row == 2)
        edge = std::min(edge, kLast - py);
    if (place.column == 0)
        edge = std::min(edge, px);
    if (place.column == 2)
        edge = std::min(edge, kLast - px);
    Pixel p = familyPixel(f, id, px, py, 0);
    if (edge >= kRim)
        return p;
    // Dark at the edge, lighter towards the inside: a wall seen from above.
    const float shade = 0.35f + 0.45f * float(edge) / float(kRim);
    auto darken = [shade](int v) { return std::clamp(int(std::lround(float(v) * shade)), 8, 255); };
    return {darken(p.red), darken(p.green), darken(p.blue)};
}

// A transition pixel: the pattern of the first fill tile of the terrain it shows, darker on
// the line between the two terrains.
Pixel transitionTilePixel(const DemoTransition& transition, int px, int py) {
    const TransitionPixel at = transitionPixel(transition, px, py);
    const TileFamily& f = tileFamily(at.terrain);
    const Pixel p = familyPixel(f, f.ids.front(), px, py, 0);
    if (!at.edge)
        return p;
    auto darken = [](int v) { return std::clamp(v * 7 / 10, 8, 255); };
    return {darken(p.red), darken(p.green), darken(p.blue)};
}

std::uint16_t pack(const Pixel& p) {
    return toRgb555(p.red, p.green, p.blue);
}

void writeIndexEntry(std::vector<unsigned char>& index, int id, std::int32_t offset,
                     std::uint32_t length) {
    unsigned char* p = index.data() + std::size_t(id) * kIndexEntrySize;
    writeI32(p, offset);
    writeU32(p + 4, length);
    writeU32(p + 8, 0);
}

struct SquarePoint {
    int x, y;
};

// Where each of the 1012 stored pixels of a land tile lands in the 45 x 45 square: walks up
// the anti-diagonals from (0, 1), (0, 3), ..., (0, 43), then from (1, 44), (3, 44), ...,
// (43, 44).
const std::vector<SquarePoint>& squarePointsOfStoredPixels() {
    static const std::vector<SquarePoint> points = [] {
        std::vector<SquarePoint> result;
        int x0 = 0, y0 = 1;
        while (x0 <= 43) {
            for (int x = x0, y = y0; x <= 44 && y >= 0; ++x, --y)
                result.push_back({x, y});
            if (y0 < 43)
                y0 += 2;
            else if (y0 == 43) {
                y0 = 44;
                x0 += 1;
            } else
                x0 += 2;
        }
        return result;
    }();
    return points;
}

std::vector<unsigned char> emptyIndex() {
    // Missing entries are all bits set, as in the client's files: offset -1.
    return std::vector<unsigned char>(std::size_t(kIndexEntries) * kIndexEntrySize, 0xFF);
}

} // namespace

std::span<const TileFamily> tileFamilies() {
    static const std::vector<TileFamily> families = makeFamilies();
    return families;
}

const TileFamily& tileFamily(Terrain terrain) {
    return tileFamilies()[std::size_t(terrain)];
}

std::span<const std::uint16_t> caveWallIds() {
    static const std::array<std::uint16_t, 9> ids = [] {
        std::array<std::uint16_t, 9> all{};
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = kStampFrame[i / 3][i % 3];
        return all;
    }();
    return ids;
}

std::vector<std::uint16_t> landArtIds() {
    std::vector<std::uint16_t> ids(std::begin(kRefusedLandIds), std::end(kRefusedLandIds));
    for (const TileFamily& f : tileFamilies())
        ids.insert(ids.end(), f.ids.begin(), f.ids.end());
    const std::span<const std::uint16_t> walls = caveWallIds();
    ids.insert(ids.end(), walls.begin(), walls.end());
    for (const DemoTransition& t : demoTransitions())
        ids.push_back(t.id);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::vector<DemoTexture> demoTextures() {
    // The first id or two of each family; the one big texture is the open sea's. Tile 7
    // has a texture but no land tile the editor would draw.
    std::vector<DemoTexture> textures{{0x0003, 64}, {0x0004, 64},  {0x0007, 64}, {0x0016, 64},
                                      {0x0071, 64}, {0x00A8, 128}, {0x00A9, 64}, {0x00C4, 64},
                                      {0x00DC, 64}, {0x00DD, 64},  {0x011A, 64}, {0x0136, 64}};
    std::sort(textures.begin(), textures.end(),
              [](const DemoTexture& a, const DemoTexture& b) { return a.id < b.id; });
    return textures;
}

DemoArtFiles generateDemoArt() {
    DemoArtFiles files;
    files.artIndex = emptyIndex();
    files.textureIndex = emptyIndex();
    files.radarColours.assign(std::size_t(kRadarColourWords) * 2, 0);

    const std::vector<std::uint16_t> landIds = landArtIds();
    files.artData.assign(landIds.size() * kLandEntryLength, 0);
    std::size_t offset = 0;
    for (std::uint16_t id : landIds) {
        const DemoTransition* transition = demoTransition(id);
        const TileFamily& f = transition ? tileFamily(transition->from) : *familyOfId(id);
        const std::optional<FramePlace> place = framePlaceOf(id);
        unsigned char* out = files.artData.data() + offset;
        long sum[3] = {0, 0, 0};
        // The editor shows a land tile as an upright square, laying the stored pixels along
        // its anti-diagonals. Each pixel takes the pattern at the point of the square where
        // it will be shown, so swells and blotches run the same way as in the textures.
        for (const SquarePoint& at : squarePointsOfStoredPixels()) {
            const Pixel p = place        ? caveWallPixel(f, id, *place, at.x, at.y)
                            : transition ? transitionTilePixel(*transition, at.x, at.y)
                                         : familyPixel(f, id, at.x, at.y, 0);
            writeU16(out, pack(p));
            out += 2;
            sum[0] += p.red;
            sum[1] += p.green;
            sum[2] += p.blue;
        }
        // The rest of the 2048-byte entry stays zero.
        writeIndexEntry(files.artIndex, id, std::int32_t(offset), kLandEntryLength);
        const std::uint16_t radar = toRgb555(int(sum[0] / kLandPixels), int(sum[1] / kLandPixels),
                                             int(sum[2] / kLandPixels));
        writeU16(files.radarColours.data() + std::size_t(id) * 2, radar);
        offset += kLandEntryLength;
    }

    for (const DemoTexture& texture : demoTextures()) {
        const TileFamily& f = *familyOfId(texture.id);
        const std::size_t start = files.textureData.size();
        const std::size_t length = std::size_t(texture.size) * texture.size * 2;
        files.textureData.resize(start + length);
        unsigned char* out = files.textureData.data() + start;
        // The pattern wraps with the picture, so textures tile without seams.
        for (int y = 0; y < texture.size; ++y)
            for (int x = 0; x < texture.size; ++x, out += 2)
                writeU16(out, pack(familyPixel(f, texture.id, x, y, texture.size)));
        writeIndexEntry(files.textureIndex, texture.id, std::int32_t(start), std::uint32_t(length));
    }
    return files;
}

} // namespace tb::demo

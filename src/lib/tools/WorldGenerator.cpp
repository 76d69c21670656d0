#include "tools/WorldGenerator.h"

#include "catalogue/TerrainTiles.h"
#include "core/MapFile.h"
#include "core/MapOutputFile.h"
#include "core/StaticsMap.h"
#include "core/StaticsSave.h"
#include "shell/SeededRandomSource.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <unordered_map>
#include <utility>

namespace fs = std::filesystem;

namespace tb {
namespace {

// The streams' seeds: the tiles take the seed as it is.
constexpr std::uint32_t kAltitudeStream = 0x9E3779B9u;
constexpr std::uint32_t kItemStream = 0x85EBCA6Bu;
// Block rows written at once: each block column's blocks of a strip lie together in the
// file, so a strip of 64 (about 11 MB of the largest map) goes out in 896 writes.
constexpr int kStripBlocks = 64;

std::string quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

std::string pixelText(CellPoint p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}

bool pathExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec)) && !ec;
}

// The colour of each terrain, and the colours of the picture that are none, counted.
class ColourTerrains {
public:
    ColourTerrains(const TerrainSet& set, const fs::path& file) {
        for (std::size_t i = 0; i < set.terrains.size(); ++i) {
            const auto [it, fresh] = m_terrains.try_emplace(set.terrains[i].colour, TerrainId(i));
            if (!fresh)
                throw GenerateRefusal(
                    quoted(file) + ": terrains \"" + set.terrains[it->second].name + "\" and \"" +
                    set.terrains[i].name + "\" have the same colour " +
                    colourText(set.terrains[i].colour) + ", which a picture cannot tell apart");
        }
    }

    // The terrains of row `y`'s colours; a colour that is none gives kNoTerrain and is noted.
    void convertRow(const std::uint32_t* rgb, int width, int y, TerrainId* out) {
        for (int x = 0; x < width; ++x) {
            // Pictures are runs of one colour: the last one is looked up once.
            if (rgb[x] != m_lastColour) {
                m_lastColour = rgb[x];
                const auto it = m_terrains.find(rgb[x]);
                m_lastTerrain = it == m_terrains.end() ? kNoTerrain : it->second;
            }
            out[x] = m_lastTerrain;
            if (m_lastTerrain == kNoTerrain)
                noteUnknown(rgb[x], {x, y});
        }
    }

    bool allKnown() const { return m_unknown.empty(); }

    // The refusal of a picture with colours that are no terrain: the first such colour with
    // its first pixel and count, and how many others there are.
    std::string unknownMessage(const GenerateSources& sources) const {
        const Unknown& first = m_unknown.front();
        std::string text = quoted(sources.terrainPicture) + ": colour " + colourText(first.colour) +
                           " is no terrain of " + quoted(sources.terrainFile) + " (" +
                           std::to_string(first.count) + (first.count == 1 ? " pixel" : " pixels") +
                           ", the first at " + pixelText(first.at) + ")";
        if (m_unknown.size() > 1) {
            std::int64_t others = 0;
            for (std::size_t i = 1; i < m_unknown.size(); ++i)
                others += m_unknown[i].count;
            const Unknown& second = m_unknown[1];
            text += "; " + std::to_string(m_unknown.size() - 1) + " more colour" +
                    (m_unknown.size() == 2 ? " is" : "s are") + " none either (" +
                    std::to_string(others) + (others == 1 ? " pixel" : " pixels") + ", the first " +
                    colourText(second.colour) + " at " + pixelText(second.at) + ")";
        }
        return text;
    }

private:
    struct Unknown {
        std::uint32_t colour;
        CellPoint at;
        std::int64_t count;
    };

    void noteUnknown(std::uint32_t colour, CellPoint at) {
        const auto [it, fresh] = m_unknownIndex.try_emplace(colour, m_unknown.size());
        if (fresh)
            m_unknown.push_back({colour, at, 0});
        ++m_unknown[it->second].count;
    }

    std::unordered_map<std::uint32_t, TerrainId> m_terrains;
    std::uint32_t m_lastColour = 0xFFFFFFFFu; // no colour of a picture
    TerrainId m_lastTerrain = kNoTerrain;
    std::vector<Unknown> m_unknown; // in the order they were met
    std::unordered_map<std::uint32_t, std::size_t> m_unknownIndex;
};

// The scatter rules of one terrain, ready to draw from.
struct ScatterChoice {
    int chance = 0;
    std::vector<std::uint16_t> ids;
    std::vector<int> upTo; // running sum of the weights
};

std::vector<std::vector<ScatterChoice>> scatterChoices(const TerrainSet& set) {
    std::vector<std::vector<ScatterChoice>> choices(set.terrains.size());
    for (const TerrainScatter& scatter : set.scatters) {
        ScatterChoice choice{scatter.chance, {}, {}};
        for (const ScatterItem& item : scatter.items)
            if (item.weight > 0) {
                choice.ids.push_back(item.id);
                choice.upTo.push_back((choice.upTo.empty() ? 0 : choice.upTo.back()) + item.weight);
            }
        // A rule that can place nothing draws nothing.
        if (choice.chance > 0 && !choice.ids.empty() && scatter.terrain < choices.size())
            choices[scatter.terrain].push_back(std::move(choice));
    }
    return choices;
}

// The map's cells gathered a strip of block rows at a time and written to the file a block
// column at a time. Block headers stay zero.
class StripWriter {
public:
    StripWriter(MapOutputFile& file, const MapVariant& variant)
        : m_file(file), m_widthBlocks(variant.widthBlocks()),
          m_heightBlocks(variant.heightBlocks()),
          m_stripBlocks(std::min(kStripBlocks, variant.heightBlocks())),
          m_bytes(std::size_t(m_widthBlocks) * std::size_t(m_stripBlocks) * kBlockSize, 0) {}

    void set(int x, int y, std::uint16_t tileId, std::int8_t altitude) {
        unsigned char* p = m_bytes.data() +
                           (std::size_t(x / kCellsPerBlockSide) * std::size_t(m_stripBlocks) +
                            std::size_t(y / kCellsPerBlockSide - m_firstBlockRow)) *
                               kBlockSize +
                           kBlockHeaderSize +
                           std::size_t(y % kCellsPerBlockSide) * kCellsPerBlockSide * kCellSize +
                           std::size_t(x % kCellsPerBlockSide) * kCellSize;
        p[0] = static_cast<unsigned char>(tileId);
        p[1] = static_cast<unsigned char>(tileId >> 8);
        p[2] = static_cast<unsigned char>(altitude);
    }

    // Block row `by` is complete: a full strip, or the last, goes to the file.
    void blockRowDone(int by) {
        const int rows = by + 1 - m_firstBlockRow;
        if (rows < m_stripBlocks && by + 1 < m_heightBlocks)
            return;
        for (int bx = 0; bx < m_widthBlocks; ++bx)
            m_file.writeAt((std::int64_t(bx) * m_heightBlocks + m_firstBlockRow) * kBlockSize,
                           m_bytes.data() +
                               std::size_t(bx) * std::size_t(m_stripBlocks) * kBlockSize,
                           std::size_t(rows) * kBlockSize);
        m_firstBlockRow = by + 1;
    }

private:
    MapOutputFile& m_file;
    int m_widthBlocks;
    int m_heightBlocks;
    int m_stripBlocks;
    int m_firstBlockRow = 0;
    std::vector<unsigned char> m_bytes; // per block column, the strip's blocks in a run
};

// One run of the generator over the pictures.
class Generation {
public:
    Generation(const TerrainSet& set, const GenerateSources& sources, const MapVariant& variant,
               const GenerateOptions& options, GenerateReport& report)
        : m_set(set), m_sources(sources), m_tiles(set), m_colours(set, sources.terrainFile),
          m_scatter(options.statics ? scatterChoices(set)
                                    : std::vector<std::vector<ScatterChoice>>{}),
          m_width(variant.width), m_report(report), m_tileRandom(options.seed),
          m_altitudeRandom(options.seed ^ kAltitudeStream),
          m_itemRandom(options.seed ^ kItemStream), m_rgb(std::size_t(m_width)),
          m_grey(std::size_t(m_width)), m_row(std::size_t(m_width)),
          m_nextRow(std::size_t(m_width)) {
        if (options.statics) {
            m_blocks.resize(std::size_t(variant.widthBlocks()) *
                            std::size_t(variant.heightBlocks()));
            m_heightBlocks = variant.heightBlocks();
            m_blockItems.resize(std::size_t(variant.widthBlocks()));
        }
    }

    void run(ColourRows& terrain, GreyRows& altitude, StripWriter& strips, Progress& progress) {
        const int height = terrain.height();
        readTerrainRow(terrain, 0, m_row);
        for (int y = 0; y < height; ++y) {
            // The last row's corners below it repeat it.
            if (y + 1 < height)
                readTerrainRow(terrain, y + 1, m_nextRow);
            else
                m_nextRow = m_row;
            // Once a colour is no terrain the run only counts such colours.
            if (m_colours.allKnown()) {
                altitude.readRow(y, m_grey.data());
                makeRow(y, strips);
            }
            m_row.swap(m_nextRow);
            if ((y + 1) % kCellsPerBlockSide == 0) {
                if (m_colours.allKnown())
                    blockRowDone(y / kCellsPerBlockSide, strips);
                reportStep(progress, kGenerateText, y + 1, height, kGenerateStoppedMessage);
            }
        }
        if (!m_colours.allKnown())
            throw GenerateRefusal(m_colours.unknownMessage(m_sources));
    }

    // The items' records, a block row after another, and where each block's lie.
    const std::vector<unsigned char>& records() const { return m_records; }
    const std::vector<BlockRecords>& blocks() const { return m_blocks; }

private:
    void readTerrainRow(ColourRows& terrain, int y, std::vector<TerrainId>& out) {
        terrain.readRow(y, m_rgb.data());
        m_colours.convertRow(m_rgb.data(), m_width, y, out.data());
    }

    void makeRow(int y, StripWriter& strips) {
        const TerrainId* row = m_row.data();
        const TerrainId* below = m_nextRow.data();
        for (int x = 0; x < m_width; ++x) {
            const int right = x + 1 < m_width ? x + 1 : x;
            const TerrainId own = row[x];
            const PackedCorners corners = packCorners({own, row[right], below[x], below[right]});
            std::optional<std::uint16_t> tile = m_tiles.pickTile(corners, m_tileRandom);
            if (!tile)
                tile = missingCell(x, y, own);
            const std::int8_t z = altitudeOf(own, m_grey[std::size_t(x)]);
            strips.set(x, y, *tile, z);
            if (!m_scatter.empty() && corners == PackedCorners(own) * 0x01010101u)
                scatter(x, y, own, z);
        }
    }

    // A cell whose corners no tile has: its top-left terrain's fill tile, counted.
    std::uint16_t missingCell(int x, int y, TerrainId own) {
        const std::optional<std::uint16_t> fill = m_tiles.fillTile(own);
        if (!fill)
            throw GenerateRefusal(
                quoted(m_sources.terrainFile) + ": terrain \"" + m_set.terrains[own].name +
                "\" has no fill tile (four corners of it), which cell " + pixelText({x, y}) +
                " of " + quoted(m_sources.terrainPicture) + " needs");
        if (m_report.missing.size() < kListedMissingCells)
            m_report.missing.push_back({x, y});
        ++m_report.missingCount;
        return *fill;
    }

    std::int8_t altitudeOf(TerrainId own, std::uint8_t grey) {
        const Terrain& terrain = m_set.terrains[own];
        int z = terrain.altitude ? *terrain.altitude : int(grey) - 128;
        if (terrain.jitter > 0)
            z += m_altitudeRandom.uniform(2 * terrain.jitter + 1) - terrain.jitter;
        return std::int8_t(std::clamp(z, -128, 127));
    }

    // Each rule of the terrain puts an item on this fill cell with its chance.
    void scatter(int x, int y, TerrainId own, std::int8_t z) {
        for (const ScatterChoice& rule : m_scatter[own]) {
            if (m_itemRandom.uniform(100) >= rule.chance)
                continue;
            std::size_t pick = 0;
            if (rule.ids.size() > 1) {
                const int draw = m_itemRandom.uniform(rule.upTo.back());
                pick = std::size_t(std::upper_bound(rule.upTo.begin(), rule.upTo.end(), draw) -
                                   rule.upTo.begin());
            }
            m_blockItems[std::size_t(x / kCellsPerBlockSide)].push_back(
                {rule.ids[pick], std::uint8_t(x % kCellsPerBlockSide),
                 std::uint8_t(y % kCellsPerBlockSide), z, 0});
            ++m_report.items;
        }
    }

    // The blocks of the row are complete: their records go after those of the rows above,
    // which is as good an order as the map's for the index.
    void blockRowDone(int by, StripWriter& strips) {
        strips.blockRowDone(by);
        for (std::size_t bx = 0; bx < m_blockItems.size(); ++bx) {
            std::vector<StaticRecord>& items = m_blockItems[bx];
            if (items.empty())
                continue;
            const std::size_t at = m_records.size();
            m_blocks[bx * std::size_t(m_heightBlocks) + std::size_t(by)] = {
                std::uint32_t(at), std::uint32_t(items.size() * kStaticRecordSize)};
            m_records.resize(at + items.size() * kStaticRecordSize);
            for (std::size_t i = 0; i < items.size(); ++i)
                writeStaticRecord(m_records.data() + at + i * kStaticRecordSize, items[i]);
            items.clear();
        }
    }

    const TerrainSet& m_set;
    const GenerateSources& m_sources;
    TerrainTiles m_tiles;
    ColourTerrains m_colours;
    std::vector<std::vector<ScatterChoice>> m_scatter; // per terrain; none without statics
    int m_width;
    GenerateReport& m_report;
    SeededRandomSource m_tileRandom;
    SeededRandomSource m_altitudeRandom;
    SeededRandomSource m_itemRandom;
    std::vector<std::uint32_t> m_rgb;
    std::vector<std::uint8_t> m_grey;
    std::vector<TerrainId> m_row;     // the terrains of the pixels of the row being made
    std::vector<TerrainId> m_nextRow; // and of the row below it
    int m_heightBlocks = 0;
    std::vector<unsigned char> m_records;
    std::vector<BlockRecords> m_blocks;                  // per block of the map
    std::vector<std::vector<StaticRecord>> m_blockItems; // per block of the block row
};

// The pair a generated world's items go to, checked before anything is made: half a pair
// is refused, as saves refuse it.
StaticsFilePaths checkedStaticsPair(const fs::path& destination) {
    const std::optional<int> facet = staticsFacetOf(destination);
    const StaticsFilePaths files = staticsPairIn(destination.parent_path(), facet.value_or(0));
    // What is there once an interrupted compaction has been put back.
    const StaticsFilePaths there = checkCompaction(files).pair;
    const bool index = pathExists(there.index);
    const bool data = pathExists(there.data);
    if (index != data)
        throw GenerateRefusal("no " + quoted(index ? files.data : files.index) + " beside " +
                              quoted(destination) + ": " +
                              quoted(index ? there.index : there.data) +
                              " is there without it, and the pair is written only whole");
    return files;
}

std::string lowerName(const fs::path& path) {
    std::string name = path.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return name;
}

} // namespace

std::vector<MapVariant> generatedMapVariants(const fs::path& destination) {
    const std::string name = lowerName(destination);
    std::string mulName;
    if (mapFileFormatOf(destination) == MapFileFormat::Uop) {
        if (!isUopMapFileName(name))
            return {};
        mulName = "map" + std::to_string(*facetFromFileName(name)) + ".mul";
    } else {
        if (!isMapFileName(name))
            return {};
        mulName = name;
    }
    std::vector<MapVariant> variants;
    // A variant whose file has a tail beyond its blocks is read, never written.
    for (const MapVariant& v : mapVariants())
        if (v.fileName == mulName && v.fileSize == v.addressedSize() &&
            std::none_of(variants.begin(), variants.end(),
                         [&v](const MapVariant& w) { return w.size() == v.size(); }))
            variants.push_back(v);
    return variants;
}

MapVariant generatedMapVariant(const fs::path& destination, MapSize size, const fs::path& picture) {
    const std::vector<MapVariant> variants = generatedMapVariants(destination);
    if (variants.empty())
        throw GenerateRefusal("cannot write " + quoted(destination) +
                              ": a map is read as one only under a map file name, map0.mul to "
                              "map5.mul or map0LegacyMUL.uop to map5LegacyMUL.uop");
    std::string sizes;
    for (const MapVariant& v : variants) {
        if (v.size() == size)
            return v;
        sizes += (sizes.empty() ? "" : " or ") + mapSizeText(v.size());
    }
    throw GenerateRefusal(quoted(picture) + " is " + mapSizeText(size) + " pixels, but a map " +
                          quoted(destination.filename()) + " is " + sizes + " cells");
}

void checkAltitudePictureSize(const GenerateSources& sources, MapSize terrain, MapSize altitude) {
    if (altitude != terrain)
        throw GenerateRefusal(quoted(sources.altitudePicture) + " is " + mapSizeText(altitude) +
                              " pixels, but " + quoted(sources.terrainPicture) + " is " +
                              mapSizeText(terrain) + ": both pictures have the map's size");
}

GenerateReport generateWorld(ColourRows& terrain, GreyRows& altitude, const TerrainSet& terrains,
                             const GenerateSources& sources, const fs::path& destination,
                             const GenerateOptions& options, Progress& progress) {
    GenerateReport report;
    report.variant = generatedMapVariant(destination, {terrain.width(), terrain.height()},
                                         sources.terrainPicture);
    checkAltitudePictureSize(sources, {terrain.width(), terrain.height()},
                             {altitude.width(), altitude.height()});
    StaticsFilePaths pair;
    if (options.statics)
        pair = checkedStaticsPair(destination);
    Generation generation(terrains, sources, report.variant, options, report);

    MapOutputFile map(destination, report.variant.addressedSize(),
                      facetFromFileName(lowerName(destination)).value_or(0));
    StripWriter strips(map, report.variant);
    generation.run(terrain, altitude, strips, progress);
    // The items first: a failure there leaves the old map too.
    if (options.statics) {
        stopIfRequested(progress, kGenerateStoppedMessage);
        report.staticsNote = recoverInterruptedCompaction(pair);
        writeNewStatics(pair, generation.records(), generation.blocks());
        report.statics = pair;
    }
    map.commit();
    return report;
}

} // namespace tb

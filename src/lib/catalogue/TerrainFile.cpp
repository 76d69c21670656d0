#include "catalogue/TerrainFile.h"

#include "catalogue/CatalogueNames.h"
#include "shell/LineFile.h"
#include "shell/NumberText.h"
#include "shell/XmlParser.h"

#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>

namespace tb {
namespace {

std::string quotedPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return "\"" + std::string(text.begin(), text.end()) + "\"";
}

std::string hexId(std::uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "$%04X", unsigned(id));
    return text;
}

// Where a value stands, for messages: the file, the line, the element and the attribute.
struct Place {
    const std::filesystem::path* path;
    std::size_t line;
    std::string element;

    [[noreturn]] void fail(std::string_view attribute, const std::string& problem) const {
        throw TerrainFileError(quotedPath(*path) + ", line " + std::to_string(line) + ", " +
                               element + " " + std::string(attribute) + ": " + problem);
    }
};

// The reader of one terrain file: values are checked as they are read; names in Corners and
// Scatter are resolved at the end, as a terrain may come after the tiles that use it.
class Reader {
public:
    Reader(std::string_view bytes, const std::filesystem::path& path) : m_path(&path) {
        m_parser.loadFromBytes(bytes);
    }

    TerrainSet read() {
        bool sawRoot = false;
        int depth = 0; // inside Terrains
        bool inScatter = false;
        while (m_parser.nextPart()) {
            const XmlPartType type = m_parser.partType();
            const std::string& name = m_parser.partName();
            if (type == XmlPartType::EndTag) {
                if (name == "Terrains")
                    depth = std::max(depth - 1, 0);
                else if (name == "Scatter")
                    inScatter = false;
                continue;
            }
            if (type != XmlPartType::StartTag && type != XmlPartType::EmptyTag)
                continue;
            if (name == "Terrains") {
                sawRoot = true;
                depth += type == XmlPartType::StartTag ? 1 : 0;
                continue;
            }
            if (depth == 0)
                continue;
            if (name == "Terrain")
                readTerrain();
            else if (name == "Tile")
                readTile();
            else if (name == "Scatter") {
                readScatter();
                inScatter = type == XmlPartType::StartTag;
            } else if (name == "Item" && inScatter)
                readItem();
        }
        if (!sawRoot)
            throw TerrainFileError(quotedPath(*m_path) +
                                   " is no terrain file: it has no Terrains element");
        resolve();
        return std::move(m_set);
    }

private:
    Place place() const { return {m_path, m_parser.partLine(), m_parser.partName()}; }

    std::string required(const Place& at, std::string_view attribute) const {
        std::optional<std::string> value = m_parser.attribute(attribute);
        if (!value)
            at.fail(attribute, "missing");
        return *value;
    }

    // The integer of an optional attribute within [low, high], `fallback` when absent.
    std::int32_t integer(const Place& at, std::string_view attribute, std::int32_t low,
                         std::int32_t high, std::optional<std::int32_t> fallback) const {
        const std::optional<std::string> text = m_parser.attribute(attribute);
        if (!text) {
            if (!fallback)
                at.fail(attribute, "missing");
            return *fallback;
        }
        const std::optional<std::int32_t> value = tryStrToInt(*text);
        if (!value)
            at.fail(attribute, notAnIntegerMessage(*text));
        if (*value < low || *value > high)
            at.fail(attribute, "'" + *text + "' is outside " + std::to_string(low) + " to " +
                                   std::to_string(high));
        return *value;
    }

    void readTerrain() {
        const Place at = place();
        Terrain terrain;
        terrain.name = required(at, "Name");
        if (auto problem = terrainNameProblem(m_set, terrain.name))
            at.fail("Name", *problem);
        if (m_set.terrains.size() >= kMaxTerrains)
            at.fail("Name", "a file holds at most " + std::to_string(kMaxTerrains) + " terrains");
        const std::string colour = required(at, "Colour");
        const std::optional<std::uint32_t> rgb = parseColour(colour);
        if (!rgb)
            at.fail("Colour", "'" + colour + "' is no colour of the form #RRGGBB");
        terrain.colour = *rgb;
        if (m_parser.attribute("Altitude"))
            terrain.altitude = integer(at, "Altitude", -128, 127, std::nullopt);
        terrain.jitter = integer(at, "Jitter", 0, 127, 0);
        m_set.terrains.push_back(std::move(terrain));
    }

    void readTile() {
        const Place at = place();
        TerrainTile tile;
        tile.id = std::uint16_t(integer(at, "Id", 0, kMaxLandTileId, std::nullopt));
        if (const auto seen = m_tileLines.find(tile.id); seen != m_tileLines.end())
            at.fail("Id", "tile " + hexId(tile.id) + " is listed twice (first on line " +
                              std::to_string(seen->second) + ")");
        m_tileLines.emplace(tile.id, at.line);
        const std::string corners = required(at, "Corners");
        std::vector<std::string> names;
        for (std::size_t i = 0; i < corners.size();) {
            if (corners[i] == ' ' || corners[i] == '\t' || corners[i] == '\r' ||
                corners[i] == '\n') {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < corners.size() && corners[end] != ' ' && corners[end] != '\t' &&
                   corners[end] != '\r' && corners[end] != '\n')
                ++end;
            names.push_back(corners.substr(i, end - i));
            i = end;
        }
        if (names.size() != 4)
            at.fail("Corners",
                    "'" + corners + "' names " + std::to_string(names.size()) + " corners, not 4");
        tile.chance = integer(at, "Chance", 0, kMaxTileChance, 1);
        m_tileNames.push_back({at, std::move(names)});
        m_set.tiles.push_back(tile);
    }

    void readScatter() {
        const Place at = place();
        TerrainScatter scatter;
        scatter.chance = integer(at, "Chance", 0, 100, std::nullopt);
        m_scatterNames.push_back({at, required(at, "Terrain")});
        m_set.scatters.push_back(std::move(scatter));
    }

    void readItem() {
        const Place at = place();
        ScatterItem item;
        item.id = std::uint16_t(integer(at, "Id", 0, 0xFFFF, std::nullopt));
        item.weight = integer(at, "Weight", 0, kMaxScatterWeight, 1);
        m_set.scatters.back().items.push_back(item);
    }

    TerrainId terrainNamed(const Place& at, std::string_view attribute,
                           const std::string& name) const {
        const std::optional<TerrainId> terrain = m_set.findTerrain(name);
        if (!terrain)
            at.fail(attribute, "\"" + name + "\" is no terrain of the file");
        return *terrain;
    }

    void resolve() {
        for (std::size_t i = 0; i < m_tileNames.size(); ++i)
            for (std::size_t c = 0; c < 4; ++c)
                m_set.tiles[i].corners[c] =
                    terrainNamed(m_tileNames[i].first, "Corners", m_tileNames[i].second[c]);
        for (std::size_t i = 0; i < m_scatterNames.size(); ++i)
            m_set.scatters[i].terrain =
                terrainNamed(m_scatterNames[i].first, "Terrain", m_scatterNames[i].second);
    }

    const std::filesystem::path* m_path;
    XmlParser m_parser;
    TerrainSet m_set;
    std::map<std::uint16_t, std::size_t> m_tileLines;
    std::vector<std::pair<Place, std::vector<std::string>>> m_tileNames; // per tile
    std::vector<std::pair<Place, std::string>> m_scatterNames;           // per scatter rule
};

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

TerrainSet parseTerrainFile(std::string_view bytes, const std::filesystem::path& path) {
    return Reader(bytes, path).read();
}

TerrainSet readTerrainFile(const std::filesystem::path& path) {
    return parseTerrainFile(readFileText(path), path);
}

std::vector<std::string> terrainFileLines(const TerrainSet& set) {
    auto nameOf = [&set](TerrainId terrain) -> const std::string& {
        if (terrain >= set.terrains.size())
            throw std::invalid_argument("a tile corner or scatter rule names no terrain");
        return set.terrains[terrain].name;
    };
    // The prolog makes the reader take the bytes as Windows-1252, which they are.
    std::vector<std::string> lines{"<?xml version=\"1.0\" encoding=\"windows-1252\"?>",
                                   "<Terrains>"};
    for (const Terrain& t : set.terrains) {
        std::string line =
            "  <Terrain Name=\"" + escaped(t.name) + "\" Colour=\"" + colourText(t.colour) + "\"";
        if (t.altitude)
            line += " Altitude=\"" + std::to_string(*t.altitude) + "\"";
        if (t.jitter != 0)
            line += " Jitter=\"" + std::to_string(t.jitter) + "\"";
        lines.push_back(line + "/>");
    }
    for (const TerrainTile& tile : set.tiles) {
        std::string line = "  <Tile Id=\"" + hexId(tile.id) + "\" Corners=\"";
        for (std::size_t c = 0; c < 4; ++c)
            line += (c ? " " : "") + escaped(nameOf(tile.corners[c]));
        line += "\"";
        if (tile.chance != 1)
            line += " Chance=\"" + std::to_string(tile.chance) + "\"";
        lines.push_back(line + "/>");
    }
    for (const TerrainScatter& scatter : set.scatters) {
        lines.push_back("  <Scatter Terrain=\"" + escaped(nameOf(scatter.terrain)) +
                        "\" Chance=\"" + std::to_string(scatter.chance) + "\">");
        for (const ScatterItem& item : scatter.items) {
            std::string line = "    <Item Id=\"" + hexId(item.id) + "\"";
            if (item.weight != 1)
                line += " Weight=\"" + std::to_string(item.weight) + "\"";
            lines.push_back(line + "/>");
        }
        lines.push_back("  </Scatter>");
    }
    lines.push_back("</Terrains>");
    return lines;
}

void writeTerrainFile(const std::filesystem::path& path, const TerrainSet& set) {
    writeLines(path, terrainFileLines(set));
}

std::vector<std::string> listTerrainFiles(const std::filesystem::path& appDir) {
    return listCatalogueNames(appDir, kTerrainsFolder, kTerrainFileExtension);
}

std::filesystem::path terrainFilePath(const std::filesystem::path& appDir, std::string_view name) {
    checkCatalogueName("terrain file", name, kTerrainsFolder);
    return catalogueFilePath(appDir, kTerrainsFolder, "terrain file",
                             std::string(name) + std::string(kTerrainFileExtension));
}

} // namespace tb

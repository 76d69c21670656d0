#include "catalogue/TerrainSet.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace tb {

std::optional<TerrainId> TerrainSet::findTerrain(std::string_view name) const {
    for (std::size_t i = 0; i < terrains.size(); ++i)
        if (terrains[i].name == name)
            return TerrainId(i);
    return std::nullopt;
}

const TerrainTile* TerrainSet::findTile(std::uint16_t id) const {
    const auto it =
        std::find_if(tiles.begin(), tiles.end(), [id](const TerrainTile& t) { return t.id == id; });
    return it == tiles.end() ? nullptr : &*it;
}

TerrainId TerrainSet::addTerrain(std::string name, std::uint32_t colour) {
    if (auto problem = terrainNameProblem(*this, name))
        throw std::invalid_argument(*problem);
    if (terrains.size() >= kMaxTerrains)
        throw std::invalid_argument("A terrain file holds at most " + std::to_string(kMaxTerrains) +
                                    " terrains.");
    terrains.push_back({std::move(name), colour & 0xFFFFFFu, std::nullopt, 0});
    return TerrainId(terrains.size() - 1);
}

void TerrainSet::renameTerrain(TerrainId terrain, std::string name) {
    if (terrain >= terrains.size())
        throw std::invalid_argument("no terrain " + std::to_string(terrain));
    if (auto problem = terrainNameProblem(*this, name, terrain))
        throw std::invalid_argument(*problem);
    terrains[terrain].name = std::move(name);
}

void TerrainSet::setTile(const TerrainTile& tile) {
    for (TerrainTile& t : tiles)
        if (t.id == tile.id) {
            t = tile;
            return;
        }
    tiles.push_back(tile);
}

bool TerrainSet::removeTile(std::uint16_t id) {
    const auto it =
        std::find_if(tiles.begin(), tiles.end(), [id](const TerrainTile& t) { return t.id == id; });
    if (it == tiles.end())
        return false;
    tiles.erase(it);
    return true;
}

std::optional<std::string> terrainNameProblem(const TerrainSet& set, std::string_view name,
                                              std::optional<TerrainId> except) {
    const std::string quoted = "\"" + std::string(name) + "\"";
    if (name.empty())
        return "The terrain name is empty.";
    if (std::any_of(name.begin(), name.end(), [](char c) { return (unsigned char)c <= ' '; }))
        return "The terrain name " + quoted + " holds a blank or a control character.";
    const std::optional<TerrainId> found = set.findTerrain(name);
    if (found && found != except)
        return "There is a terrain called " + quoted + " already.";
    return std::nullopt;
}

std::string colourText(std::uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", unsigned(colour & 0xFFFFFFu));
    return text;
}

std::optional<std::uint32_t> parseColour(std::string_view text) {
    if (text.size() != 7 || text[0] != '#')
        return std::nullopt;
    std::uint32_t colour = 0;
    for (const char c : text.substr(1)) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        colour = colour << 4 | std::uint32_t(digit);
    }
    return colour;
}

} // namespace tb

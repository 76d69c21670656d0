#pragma once
// The demo's terrains in the corner model: transition tiles between grass and sand and
// between sand and water (all 14 corner patterns of each pair), what their pictures show,
// the terrain file that names them with the fill tiles (terrains/demo.xml), and the
// transitions the demo world lays where those terrains meet.

#include "catalogue/TerrainSet.h"
#include "core/MapVariant.h"
#include "demo/DemoArt.h"
#include "demo/DemoWorld.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tb::demo {

struct DemoTransition {
    std::uint16_t id;
    Terrain from; // at the corners whose bit is clear
    Terrain to;   // at the corners whose bit is set
    int bits;     // corner i (in TerrainCorners' order) is `to` where bit i is set; 1..14

    Terrain cornerTerrain(int corner) const { return (bits >> corner) & 1 ? to : from; }
};

// The 28 transitions by ascending id: grass to sand from 0x0033, sand to water from 0x0041,
// each run starting with the pattern of `to` at the bottom-right corner alone.
std::span<const DemoTransition> demoTransitions();
// The transition of tile `id`, or null.
const DemoTransition* demoTransition(std::uint16_t id);

// What pixel (px, py) of a transition's picture shows, in the upright 45 x 45 square the
// editor draws (x to the right, y down, corner 0 at the top left): the terrain, and whether
// it lies on the line between the two terrains, which the picture draws darker so the
// corners can be seen. Along the square's edges the line depends on the two corners of that
// edge alone, so neighbouring tiles join.
struct TransitionPixel {
    Terrain terrain;
    bool edge;
};
TransitionPixel transitionPixel(const DemoTransition& transition, int px, int py);

// terrains/demo.xml of the demo data set and of the folder beside the programs.
inline constexpr std::string_view kDemoTerrainFile = "demo";
// Its content: Grass, Sand and Water with the families' fill tiles and the transitions.
TerrainSet demoTerrainSet();

// Gives the cells of a generated map (generateDemoMap's bytes) their transitions. Grass
// next to water (diagonally too) becomes sand first, so that a beach always lies between
// them; `stats` counts those cells as sand. Then corner (X, Y) takes the terrain of cell
// (X, Y) (the last row and column repeat), and each cell whose four corners are grass and
// sand, or sand and water, gets the transition of those corners. The other cells keep their
// tiles, so corner 0 of every cell is its own terrain.
void addDemoTransitions(std::vector<unsigned char>& map, const MapVariant& variant,
                        DemoWorldStats& stats);

} // namespace tb::demo

#pragma once
// The complete demo data set: a generated map file and the game files the editor needs to
// show it, written into one folder:
//
//   DIR/map0.mul         the world (by default 6144 x 4096, "Felucca+Trammel")
//   DIR/game/artidx.mul  DIR/game/art.mul        land tiles and item pictures
//   DIR/game/texidx.mul  DIR/game/texmaps.mul    land textures
//   DIR/staidx0.mul  DIR/statics0.mul            the items standing on it (trees, rocks, a yard)
//   DIR/game/radarcol.mul                        radar colours
//   DIR/game/tiledata.mul                        names, flags and heights of tiles and items
//   DIR/game/hues.mul                            the hues some of the items are drawn in
//   DIR/terrains/demo.xml                        grass, sand and water with their transitions
//   DIR/pictures/terrain.png, altitude.png       a new world to generate (DemoPictures.h)

#include "core/MapVariant.h"
#include "demo/DemoWorld.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tb::demo {

// The variant the demo world is written as unless told otherwise: map0.mul, 6144 x 4096.
MapVariant defaultDemoVariant();

// The known variant with this file name and size ("map2.mul", 2304 x 1600); throws
// std::invalid_argument when there is none. Small variants keep tests fast.
MapVariant demoVariant(std::string_view fileName, MapSize size);

struct DemoOptions {
    std::uint64_t seed = 1;
    MapVariant variant = defaultDemoVariant();
};

struct WrittenFile {
    std::filesystem::path path;
    std::uint64_t size = 0;
};

struct DemoReport {
    std::vector<WrittenFile> files; // in the order written: the map first
    DemoWorldStats world;
    std::int64_t trees = 0;
    std::int64_t rocks = 0;
    std::int64_t yardItems = 0;
    std::int64_t huedItems = 0;
};

// Writes the data set into `dir`, creating it and its game folder as needed and replacing
// files of the same names (each atomically). Throws FileError naming the file that failed;
// the folders the run made are gone again then, with what it wrote into them.
DemoReport writeDemoDataSet(const std::filesystem::path& dir, const DemoOptions& options = {});

} // namespace tb::demo

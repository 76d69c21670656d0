#include "demo/DemoDataSet.h"

#include "catalogue/TerrainFile.h"
#include "core/StaticsFiles.h"
#include "demo/DemoArt.h"
#include "demo/DemoHues.h"
#include "demo/DemoItems.h"
#include "demo/DemoPictures.h"
#include "demo/DemoRelief.h"
#include "demo/DemoTerrainArt.h"
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"

#include <stdexcept>

namespace fs = std::filesystem;

namespace tb::demo {
namespace {

void createFolder(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir))
        throw FileError("Cannot create folder \"" + dir.string() +
                        "\": " + (ec ? ec.message() : std::string("a file of that name exists")));
}

// The outermost of `dir` and its parents that is not there yet; empty when `dir` is there.
fs::path firstMissingFolder(const fs::path& dir) {
    fs::path missing;
    std::error_code ec;
    for (fs::path at = dir; !at.empty() && !fs::exists(fs::symlink_status(at, ec));
         at = at.parent_path()) {
        missing = at;
        if (at == at.parent_path())
            break;
    }
    return missing;
}

// The map, its statics and the game files, into folders that are there.
DemoReport writeDemoFiles(const fs::path& dir, const fs::path& gameDir,
                          const DemoOptions& options) {
    DemoReport report;
    auto write = [&report](const fs::path& path, const std::vector<unsigned char>& bytes) {
        writeFileAtomically(path, bytes.data(), bytes.size());
        report.files.push_back({path, bytes.size()});
    };

    {
        const std::vector<unsigned char> map =
            generateDemoMap(options.variant, options.seed, &report.world);
        write(dir / std::string(options.variant.fileName), map);
        // The statics beside the map, named by its facet: the data first, so that the
        // index never names records that are not there yet.
        const std::string facet = std::to_string(mapFacet(options.variant.fileName).value_or(0));
        const DemoStaticsFiles statics = generateDemoStatics(map, options.variant, options.seed);
        write(dir / ("statics" + facet + ".mul"), statics.data);
        write(dir / ("staidx" + facet + ".mul"), statics.index);
        report.trees = statics.trees;
        report.rocks = statics.rocks;
        report.yardItems = statics.yardItems;
        report.huedItems = statics.huedItems;
    }
    DemoArtFiles art = generateDemoArt();
    lightenTexturesForSlopes(art);
    addDemoItemArt(art);
    write(gameDir / "artidx.mul", art.artIndex);
    write(gameDir / "art.mul", art.artData);
    write(gameDir / "texidx.mul", art.textureIndex);
    write(gameDir / "texmaps.mul", art.textureData);
    write(gameDir / "radarcol.mul", art.radarColours);
    write(gameDir / "tiledata.mul", generateDemoTileData());
    write(gameDir / "hues.mul", generateDemoHues());
    // The terrains of the world, for the Terrain tool and tbmap terrain.
    const fs::path terrainDir = dir / std::string(kTerrainsFolder);
    createFolder(terrainDir);
    const fs::path terrainFile =
        terrainDir / (std::string(kDemoTerrainFile) + std::string(kTerrainFileExtension));
    writeTerrainFile(terrainFile, demoTerrainSet());
    report.files.push_back({terrainFile, fs::file_size(terrainFile)});
    // The pictures of a new world of those terrains (tbmap generate).
    const fs::path pictureDir = dir / std::string(kDemoPicturesFolder);
    createFolder(pictureDir);
    for (const fs::path& picture : writeDemoPictures(pictureDir, options.seed))
        report.files.push_back({picture, fs::file_size(picture)});
    return report;
}

} // namespace

MapVariant defaultDemoVariant() {
    return demoVariant("map0.mul", {6144, 4096});
}

MapVariant demoVariant(std::string_view fileName, MapSize size) {
    // The first row of that name and size: for map0.mul 6144x4096 that is the exact
    // 77,070,336-byte "Felucca+Trammel" file, not the one with a tail.
    for (const MapVariant& v : mapVariants())
        if (v.fileName == fileName && v.size() == size)
            return v;
    throw std::invalid_argument("no map variant " + std::string(fileName) + " " +
                                mapSizeText(size));
}

DemoReport writeDemoDataSet(const fs::path& dir, const DemoOptions& options) {
    const fs::path gameDir = dir / "game";
    // A run that fails leaves no folders of its own behind: what it made goes again, with
    // the files it wrote into them.
    const fs::path made = firstMissingFolder(gameDir);
    try {
        createFolder(gameDir);
        return writeDemoFiles(dir, gameDir, options);
    } catch (...) {
        std::error_code ignored;
        if (!made.empty())
            fs::remove_all(made, ignored);
        throw;
    }
}

} // namespace tb::demo

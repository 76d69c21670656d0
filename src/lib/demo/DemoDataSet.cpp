#include "demo/DemoDataSet.h"

#include "core/StaticsFiles.h"
#include "demo/DemoArt.h"
#include "demo/DemoHues.h"
#include "demo/DemoItems.h"
#include "demo/DemoRelief.h"
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
    createFolder(gameDir);

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
    return report;
}

} // namespace tb::demo

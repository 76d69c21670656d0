// tbmap generate on the demo's pictures and terrain file, and tbmap tileimage export and
// import, run as a user runs them.
#include "RunTbmap.h"

#include "catalogue/TerrainFile.h"
#include "core/MapImage.h"
#include "core/TileImage.h"
#include "demo/DemoPictures.h"
#include "demo/DemoTerrainArt.h"

#include "TestPaths.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

// The demo's pictures and terrain file in a folder of their own.
struct Pictures {
    tbtest::TempDir dir;
    std::string terrain = (dir / "terrain.png").string();
    std::string altitude = (dir / "altitude.png").string();
    std::string terrains = (dir / "demo.xml").string();

    Pictures() {
        tb::demo::writeDemoPictures(dir.path(), 3);
        tb::writeTerrainFile(terrains, tb::demo::demoTerrainSet());
    }
    // With another terrain picture when one is given.
    clitest::RunResult generate(const fs::path& destination,
                                const std::vector<std::string>& options = {},
                                const std::string& otherTerrain = {}) const {
        std::vector<std::string> args{"generate", otherTerrain.empty() ? terrain : otherTerrain,
                                      altitude, terrains, destination.string()};
        args.insert(args.end(), options.begin(), options.end());
        return runTbmap(args);
    }
};

QImage readPng(const fs::path& path) {
    return QImage(QString::fromStdString(path.string()));
}

} // namespace

TEST(GenerateCommand, TheDemoPicturesGiveAWorldWhoseTilesFitTheirCornersAndRepeat) {
    const Pictures pictures;
    tbtest::TempDir a, b;
    const clitest::RunResult run = pictures.generate(a / "map4.mul", {"--statics", "--seed", "7"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\": Tokuno, 1448x1448, seed 7\nmissing transitions: 0\nitems: "),
              std::string::npos)
        << run.out;
    const clitest::RunResult check = runTbmap({"terrain", "check", (a / "map4.mul").string(),
                                               pictures.terrains, "0", "0", "1447", "1447"});
    EXPECT_EQ(check.out, "cells that do not fit their corners: 0\n");

    // The same terrain picture saved with a palette, as paint programs often save it.
    const QImage palette = readPng(pictures.terrain).convertToFormat(QImage::Format_Indexed8);
    ASSERT_TRUE(palette.save(QString::fromStdString((b / "terrain.png").string())));
    const clitest::RunResult again = pictures.generate(b / "map4.mul", {"--seed", "7", "--statics"},
                                                       (b / "terrain.png").string());
    ASSERT_EQ(again.exitCode, 0) << again.err;
    for (const char* name : {"map4.mul", "staidx4.mul", "statics4.mul"})
        EXPECT_EQ(tbtest::readBytes(a / name), tbtest::readBytes(b / name)) << name;
}

TEST(GenerateCommand, AColourThatIsNoTerrainWritesNothingAndWrongCallsShowUsage) {
    const Pictures pictures;
    tbtest::TempDir out;
    QImage terrain = readPng(pictures.terrain).convertToFormat(QImage::Format_RGB32);
    terrain.setPixel(40, 30, qRgb(255, 0, 255));
    const std::string edited = (out / "edited.png").string();
    ASSERT_TRUE(terrain.save(QString::fromStdString(edited)));
    const clitest::RunResult run = pictures.generate(out / "map4.mul", {"--statics"}, edited);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tbmap: \"" + edited + "\": colour #FF00FF is no terrain of \"" +
                           pictures.terrains +
                           "\" (1 pixel, the first at (40, 30)) (nothing written)\n");
    EXPECT_EQ(tbtest::entriesIn(out.path()), 1u) << "only the edited picture";

    EXPECT_EQ(pictures.generate(out / "map4.mul", {"--seed"}).exitCode, 2);
    EXPECT_EQ(pictures.generate(out / "map4.mul", {"--statics", "--statics"}).exitCode, 2);
}

TEST(TileImageCommand, ExportThenImportKeepsEveryByteAndPaintedCellsGoBackIn) {
    tbtest::TempDir dir;
    const tb::MapVariant variant = *tb::identifyMapVariant("map4.mul", 6'421'156);
    // Every tile id and altitude somewhere, and block headers that must stay.
    std::vector<unsigned char> bytes(std::size_t(variant.fileSize));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
    const std::string map = (dir / "map4.mul").string();
    tbtest::writeBytes(map, bytes);
    const std::string picture = (dir / "tiles.png").string();

    ASSERT_EQ(runTbmap({"tileimage", "export", map, picture}).exitCode, 0);
    QImage image = readPng(picture).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(1448, 1448));
    const tb::MapImage before(bytes, variant);
    for (const auto& [x, y] : {std::pair{0, 0}, {1447, 0}, {3, 700}, {1447, 1447}})
        EXPECT_EQ(image.pixel(x, y) & 0xFFFFFFu, tb::tileImagePixel(before.cell(x, y))) << x;
    clitest::RunResult run = runTbmap({"tileimage", "import", map, picture});
    EXPECT_EQ(run.out, "cells changed: 0\n");
    EXPECT_EQ(tbtest::readBytes(map), bytes);

    // A region painted over in another program: tile $1234 at altitude -3.
    for (int y = 100; y < 110; ++y)
        for (int x = 200; x < 205; ++x)
            image.setPixel(x, y, qRgb(0x12, 0x34, 125));
    ASSERT_TRUE(image.save(QString::fromStdString(picture)));
    run = runTbmap({"tileimage", "import", map, picture});
    EXPECT_EQ(run.out, "cells changed: 50\n");
    tb::MapImage expected(bytes, variant);
    for (int y = 100; y < 110; ++y)
        for (int x = 200; x < 205; ++x)
            expected.setCell(x, y, {0x1234, -3});
    EXPECT_EQ(tbtest::readBytes(map), expected.bytes());

    // A picture of another size changes nothing.
    ASSERT_TRUE(image.copy(0, 0, 100, 100).save(QString::fromStdString(picture)));
    run = runTbmap({"tileimage", "import", map, picture});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("(map not written)"), std::string::npos) << run.err;
    EXPECT_EQ(tbtest::readBytes(map), expected.bytes());
}

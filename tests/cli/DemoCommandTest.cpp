// tbmap demo: the generated data set, as the editor and the default catalogues see it.
#include "RunTbmap.h"

#include "catalogue/BrushFile.h"
#include "catalogue/OptionsModel.h"
#include "catalogue/TextureListWriter.h"
#include "catalogue/TileList.h"
#include "catalogue/TileNamed.h"
#include "core/ArtFiles.h"
#include "core/MapImage.h"
#include "core/RadarColours.h"
#include "shell/NumberText.h"
#include "shell/TextSplit.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

const char* const kGameFiles[] = {"artidx.mul",   "art.mul",      "texidx.mul", "texmaps.mul",
                                  "radarcol.mul", "tiledata.mul", "hues.mul"};

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string crlfText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

struct NamedId {
    std::string where;
    int id;
};

// Every tile id the default catalogues name, read with the editor's own readers: group ids
// of tilelist.xml, the lines of every texture list, the cells of every brush.
std::vector<NamedId> catalogueIds(const fs::path& appDir) {
    std::vector<NamedId> ids;
    for (const tb::TileNamed& group : tb::readTileList(appDir / "tilelist.xml"))
        for (const std::string& id : group.tileIds)
            ids.push_back({"tilelist.xml " + group.tileName, tb::strToInt(id)});
    for (const std::string& list : tb::textureListNames(appDir)) {
        std::vector<std::string> items;
        tb::loadListItems(appDir, list, items);
        for (const std::string& item : items)
            ids.push_back({list, tb::strToInt(item)});
    }
    for (const std::string& brush : tb::listBrushNames(appDir)) {
        for (const std::string& line : tb::readBrushLines(appDir, brush)) {
            int column = -1, row = -1, id = -1;
            EXPECT_TRUE(tb::splitIntTriple(",", line, column, row, id)) << brush << ": " << line;
            ids.push_back({brush + ".brs", id});
        }
    }
    return ids;
}

} // namespace

class DemoCommand : public ::testing::Test {
protected:
    // The full-size data set, written once for the suite by the program itself.
    // A failure here is reported by every test (SetUp), not turned into skipped tests.
    static void SetUpTestSuite() {
        try {
            s_dir = new tbtest::TempDir;
            s_run = new clitest::RunResult(
                runTbmap({"demo", (*s_dir / "demo").string(), "--seed", "5"}));
        } catch (const std::exception& e) {
            s_error = e.what();
        }
    }
    static void TearDownTestSuite() {
        delete s_dir;
        delete s_run;
        s_dir = nullptr;
        s_run = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(s_error, "");
        ASSERT_NE(s_run, nullptr);
        ASSERT_EQ(s_run->exitCode, 0) << s_run->err;
    }
    static fs::path demoDir() { return *s_dir / "demo"; }

    static tbtest::TempDir* s_dir;
    static clitest::RunResult* s_run;
    static std::string s_error;
};
std::string DemoCommand::s_error;
tbtest::TempDir* DemoCommand::s_dir = nullptr;
clitest::RunResult* DemoCommand::s_run = nullptr;

TEST_F(DemoCommand, WritesEveryFileAndSaysSo) {
    EXPECT_EQ(fs::file_size(demoDir() / "map0.mul"), 77'070'336u);
    // Land art for ids below 0x4000, then item pictures as far as the highest demo item.
    EXPECT_GT(fs::file_size(demoDir() / "game" / "artidx.mul"), 0x4000u * 12);
    EXPECT_EQ(fs::file_size(demoDir() / "game" / "artidx.mul") % 12, 0u);
    EXPECT_EQ(fs::file_size(demoDir() / "game" / "texidx.mul"), 0x4000u * 12);
    EXPECT_EQ(fs::file_size(demoDir() / "game" / "tiledata.mul"), 3'188'736u);
    EXPECT_GE(fs::file_size(demoDir() / "game" / "radarcol.mul"), 16383u * 2);
    for (const char* name : kGameFiles) {
        const fs::path path = demoDir() / "game" / name;
        EXPECT_NE(s_run->out.find("wrote " + path.string() + " (" +
                                  std::to_string(fs::file_size(path)) + " bytes)"),
                  std::string::npos)
            << name << "\n"
            << s_run->out;
    }
    EXPECT_NE(s_run->out.find("Felucca+Trammel 6144x4096, seed 5"), std::string::npos)
        << s_run->out;
    // Nothing but the data set: no temporary files left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::recursive_directory_iterator(demoDir()))
        ++entries;
    // map0.mul, its statics pair, game/ and its seven files, terrains/ and its demo.xml,
    // pictures/ and its two pictures
    EXPECT_EQ(entries, 16);
    for (const fs::path& file :
         {demoDir() / "terrains" / "demo.xml", demoDir() / "pictures" / "terrain.png",
          demoDir() / "pictures" / "altitude.png"})
        EXPECT_NE(s_run->out.find("wrote " + file.string()), std::string::npos) << s_run->out;
}

TEST_F(DemoCommand, TheMapIsAFeluccaTrammelWorldWithArtForEveryCell) {
    const auto info = runTbmap({"info", (demoDir() / "map0.mul").string()});
    EXPECT_EQ(info.out, "version: Felucca+Trammel\nsize: 6144x4096\n");

    const tb::MapImage map = tb::MapImage::load(demoDir() / "map0.mul");
    ASSERT_TRUE(map.hasGeometry());
    tb::ArtFiles art;
    art.load(demoDir() / "game");
    tb::RadarColours radar;
    radar.read(demoDir() / "game" / "radarcol.mul");
    std::vector<bool> checked(65536, false);
    bool water = false, high = false;
    tb::Image15 image;
    for (int x = 0; x < map.width(); x += 5) {
        for (int y = 0; y < map.height(); y += 5) {
            const tb::MapCell c = map.cellUnchecked(x, y);
            water |= c.altitude == -5;
            high |= c.altitude > 60;
            if (checked[c.tileId])
                continue;
            checked[c.tileId] = true;
            EXPECT_TRUE(tb::makeLandTileImage(art, c.tileId, image)) << c.tileId;
            EXPECT_NE(radar.colour(c.tileId), 0) << c.tileId;
        }
    }
    EXPECT_TRUE(water);
    EXPECT_TRUE(high);
}

TEST_F(DemoCommand, EveryIdOfTheDefaultCataloguesHasArt) {
    tb::ArtFiles art;
    art.load(demoDir() / "game");
    const std::vector<NamedId> ids = catalogueIds(tbtest::sourceDir() / "data");
    EXPECT_GT(ids.size(), 40u);
    tb::Image15 image;
    for (const NamedId& n : ids) {
        // The dialogs refuse land ids from 16382 and textures from 4096; stay below both.
        const bool land = tb::makeLandTileImage(art, n.id, image, tb::kDialogArtLimits);
        const bool texture = tb::makeTextureImage(art, n.id, image, tb::kDialogArtLimits);
        EXPECT_TRUE(land || texture) << n.where << " names " << n.id << " without art";
    }
}

TEST(DefaultCatalogues, AreWhatTheEditorsWritersWouldWrite) {
    const fs::path data = tbtest::sourceDir() / "data";
    const std::vector<tb::TileNamed> groups = tb::readTileList(data / "tilelist.xml");
    ASSERT_GE(groups.size(), 6u);
    for (const tb::TileNamed& g : groups)
        EXPECT_GE(g.tileIds.size(), 2u) << g.tileName;
    EXPECT_EQ(crlfText(tb::tileListLines(tb::groupRowsFromTileList(groups))),
              readText(data / "tilelist.xml"));

    const std::vector<std::string> lists = tb::textureListNames(data);
    EXPECT_NE(std::find(lists.begin(), lists.end(), "tileids.lst"), lists.end());
    for (const std::string& list : lists) {
        std::vector<std::string> items;
        tb::loadListItems(data, list, items);
        EXPECT_FALSE(items.empty()) << list;
        EXPECT_EQ(crlfText(tb::textureListFileLines(items)), readText(data / "textures" / list))
            << list;
    }

    // Brushes: one "column,row,$hhhh" line per cell, column by column, as the editor saves.
    const std::vector<std::string> brushes = tb::listBrushNames(data);
    EXPECT_FALSE(brushes.empty());
    for (const std::string& brush : brushes) {
        std::vector<std::string> expected;
        std::vector<std::pair<int, int>> order;
        for (const std::string& line : tb::readBrushLines(data, brush)) {
            int column = -1, row = -1, id = -1;
            ASSERT_TRUE(tb::splitIntTriple(",", line, column, row, id)) << line;
            expected.push_back(std::to_string(column) + "," + std::to_string(row) + "," +
                               tb::brushCellText(id));
            order.emplace_back(column, row);
        }
        EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << brush;
        EXPECT_EQ(crlfText(expected), readText(data / "brushes" / (brush + ".brs"))) << brush;
    }
}

TEST_F(DemoCommand, SameSeedSameFilesOtherSeedOtherWorld) {
    tbtest::TempDir other;
    const auto again = runTbmap({"demo", (other / "same").string(), "--seed", "5"});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_TRUE(tbtest::readBytes(other / "same" / "map0.mul") ==
                tbtest::readBytes(demoDir() / "map0.mul"));
    for (const char* name : kGameFiles)
        EXPECT_TRUE(tbtest::readBytes(other / "same" / "game" / name) ==
                    tbtest::readBytes(demoDir() / "game" / name))
            << name;
    // Writing over the same folder in place still works: this time with another seed.
    const auto seed6 = runTbmap({"demo", (other / "same").string(), "--seed", "6"});
    ASSERT_EQ(seed6.exitCode, 0) << seed6.err;
    const auto a = tbtest::readBytes(demoDir() / "map0.mul");
    const auto b = tbtest::readBytes(other / "same" / "map0.mul");
    ASSERT_EQ(a.size(), b.size());
    std::size_t differing = 0;
    for (std::size_t i = 4; i < a.size(); i += 196) // the first cell of every block
        differing += a[i] != b[i] || a[i + 1] != b[i + 1];
    EXPECT_GT(differing, a.size() / 196 / 4);
    // The art is the game's part and does not change with the seed.
    EXPECT_TRUE(tbtest::readBytes(other / "same" / "game" / "art.mul") ==
                tbtest::readBytes(demoDir() / "game" / "art.mul"));
}

TEST(DemoCommandCalls, WrongCallsShowUsageAndFailuresSayWhy) {
    tbtest::TempDir dir;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"demo"},
                                                 {"demo", "a", "b"},
                                                 {"demo", "a", "--seed"},
                                                 {"demo", "--seed", "3"},
                                                 {"demo", "a", "--size", "3"}}) {
        const auto r = runTbmap(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_EQ(r.err, "usage: tbmap demo DIR [--seed N]\n");
    }
    const auto badSeed = runTbmap({"demo", (dir / "x").string(), "--seed", "many"});
    EXPECT_EQ(badSeed.exitCode, 1);
    EXPECT_NE(badSeed.err.find("'many' is not a valid integer value"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "x"));

    tbtest::writeBytes(dir / "file", {1});
    const auto blocked = runTbmap({"demo", (dir / "file").string()});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_EQ(blocked.err.rfind("tbmap: ", 0), 0u) << blocked.err;
    EXPECT_EQ(blocked.out, "");
}

#include "catalogue/TerrainFile.h"
#include "catalogue/CatalogueNames.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace tb;

namespace {

void writeText(const fs::path& path, const std::string& text) {
    tbtest::writeBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

// The message parseTerrainFile gives for `text`, or "" when it reads.
std::string refusal(const std::string& text) {
    try {
        parseTerrainFile(text, "terrains/t.xml");
    } catch (const TerrainFileError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(TerrainFile, ReadsTheDocumentedFormWithTerrainsNamedAfterTheirTiles) {
    const TerrainSet set =
        parseTerrainFile("<Terrains>\r\n"
                         "  <Tile Id=\"$0033\" Corners=\"Grass Grass\tGrass  Sand\"/>\r\n"
                         "  <Terrain Name=\"Grass\" Colour=\"#3c8C28\" Extra=\"x\"/>\r\n"
                         "  <Terrain Name=\"Sand\" Colour=\"#D8C890\"/>\r\n"
                         "  <Tile Id=\"3\" Corners=\"Grass Grass Grass Grass\" Chance=\"40\"/>\r\n"
                         "  <Unknown><Tile Id=\"4\" Corners=\"Sand Sand Sand Sand\"/></Unknown>\r\n"
                         "</Terrains>\r\n"
                         "<Tile Id=\"5\" Corners=\"?\"/>",
                         "t.xml");
    ASSERT_EQ(set.terrains.size(), 2u);
    EXPECT_EQ(set.terrains[0], (Terrain{"Grass", 0x3C8C28, std::nullopt, 0}));
    EXPECT_EQ(set.terrains[1].colour, 0xD8C890u);
    // Elements inside an unknown one still count; outside the Terrains element nothing does.
    EXPECT_EQ(set.tiles,
              (std::vector<TerrainTile>{
                  {0x33, {0, 0, 0, 1}, 1}, {3, {0, 0, 0, 0}, 40}, {4, {1, 1, 1, 1}, 1}}));
    EXPECT_TRUE(set.scatters.empty());
}

TEST(TerrainFile, RefusalsNameTheFileTheLineAndTheAttribute) {
    const std::string head = "<Terrains>\n<Terrain Name=\"Grass\" Colour=\"#3C8C28\"/>\n";
    const std::string tail = "\n</Terrains>";
    const std::string at = "\"terrains/t.xml\", line 3, ";
    const std::pair<std::string, std::string> cases[] = {
        {"<Tile Id=\"$00G3\" Corners=\"Grass Grass Grass Grass\"/>",
         "Tile Id: '$00G3' is not a valid integer value"},
        {"<Tile Id=\"16384\" Corners=\"Grass Grass Grass Grass\"/>",
         "Tile Id: '16384' is outside 0 to 16383"},
        {"<Tile Corners=\"Grass Grass Grass Grass\"/>", "Tile Id: missing"},
        {"<Tile Id=\"3\"/>", "Tile Corners: missing"},
        {"<Tile Id=\"3\" Corners=\"Grass Grass Grass\"/>",
         "Tile Corners: 'Grass Grass Grass' names 3 corners, not 4"},
        {"<Tile Id=\"3\" Corners=\"Grass Grass Mud Grass\"/>",
         "Tile Corners: \"Mud\" is no terrain of the file"},
        {"<Tile Id=\"3\" Corners=\"Grass Grass Grass Grass\" Chance=\"-1\"/>",
         "Tile Chance: '-1' is outside 0 to 10000"},
        {"<Terrain Name=\"Grass\" Colour=\"#000000\"/>",
         "Terrain Name: There is a terrain called \"Grass\" already."},
        {"<Terrain Name=\"Deep Water\" Colour=\"#000000\"/>",
         "Terrain Name: The terrain name \"Deep Water\" holds a blank or a control character."},
        {"<Terrain Name=\"Sand\" Colour=\"D8C890\"/>",
         "Terrain Colour: 'D8C890' is no colour of the form #RRGGBB"},
        {"<Terrain Name=\"Sand\" Colour=\"#D8C890\" Altitude=\"200\"/>",
         "Terrain Altitude: '200' is outside -128 to 127"},
        {"<Scatter Terrain=\"Rock\" Chance=\"3\"/>",
         "Scatter Terrain: \"Rock\" is no terrain of the file"},
        {"<Scatter Terrain=\"Grass\" Chance=\"3\"><Item Id=\"$0CCA\" Weight=\"x\"/></Scatter>",
         "Item Weight: 'x' is not a valid integer value"},
    };
    for (const auto& [element, problem] : cases)
        EXPECT_EQ(refusal(head + element + tail), at + problem) << element;
    // A tile listed twice says where it was first.
    EXPECT_EQ(refusal(head + "<Tile Id=\"3\" Corners=\"Grass Grass Grass Grass\"/>\n" +
                      "<Tile Id=\"$0003\" Corners=\"Grass Grass Grass Grass\"/>" + tail),
              "\"terrains/t.xml\", line 4, Tile Id: tile $0003 is listed twice (first on line 3)");
    EXPECT_EQ(refusal("<TileList/>"),
              "\"terrains/t.xml\" is no terrain file: it has no Terrains element");
    EXPECT_EQ(refusal(""), "\"terrains/t.xml\" is no terrain file: it has no Terrains element");
}

TEST(TerrainFile, WritesCrLfWindows1252AndReadsBackTheSameSet) {
    TerrainSet set;
    set.addTerrain("Gr\xC3\xA4s&\"<x>\"", 0x3C8C28);
    const TerrainId water = set.addTerrain("Water", 0x2860A8);
    set.terrains[water].altitude = -5;
    set.terrains[water].jitter = 2;
    set.setTile({0x0003, {0, 0, 0, 0}, 40});
    set.setTile({0x3FFF, {0, 0, 0, water}, 1});
    set.setTile({0x00A8, {water, water, water, water}, 0});
    set.scatters.push_back({0, 3, {{0x0CCA, 2}, {0xFFFF, 1}}});
    set.scatters.push_back({water, 0, {}});

    tbtest::TempDir dir;
    writeTerrainFile(dir / "t.xml", set);
    const std::string text = tbtest::readText(dir / "t.xml");
    EXPECT_NE(
        text.find("<Terrain Name=\"Gr\xE4s&amp;&quot;&lt;x&gt;&quot;\" Colour=\"#3C8C28\"/>\r\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("  <Tile Id=\"$0003\" Corners=\"" +
                        std::string("Gr\xE4s&amp;&quot;&lt;x&gt;&quot; ")),
              std::string::npos);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(text.begin(), text.end(), '\r'));
    EXPECT_EQ(readTerrainFile(dir / "t.xml"), set);

    // Renaming keeps the tiles on their terrain; a tile with a corner left open is refused
    // before anything is written.
    set.renameTerrain(water, "Sea");
    EXPECT_THROW(set.renameTerrain(0, "Sea"), std::invalid_argument);
    set.setTile({0x0004, {0, kNoTerrain, 0, 0}, 1});
    EXPECT_THROW(writeTerrainFile(dir / "t.xml", set), std::invalid_argument);
    EXPECT_TRUE(set.removeTile(0x0004));
    writeTerrainFile(dir / "t.xml", set);
    EXPECT_EQ(readTerrainFile(dir / "t.xml"), set);
    EXPECT_THROW(readTerrainFile(dir / "missing.xml"), FileError);
}

TEST(TerrainFile, ListsTheTerrainsFolderBesideTheProgram) {
    tbtest::TempDir dir;
    EXPECT_TRUE(listTerrainFiles(dir.path()).empty());
    fs::create_directories(dir / "Terrains" / "c.xml");
    writeText(dir / "Terrains" / "b.xml", "");
    writeText(dir / "Terrains" / "A.XML", "");
    writeText(dir / "Terrains" / "notes.txt", "");
    EXPECT_EQ(listTerrainFiles(dir.path()), (std::vector<std::string>{"A", "b"}));
    // The files found without regard to case (on Windows the file system does that itself).
    EXPECT_TRUE(fs::equivalent(terrainFilePath(dir.path(), "a"), dir / "Terrains" / "A.XML"));
    const fs::path fresh = terrainFilePath(dir.path(), "new");
    EXPECT_TRUE(fs::equivalent(fresh.parent_path(), dir / "Terrains"));
    EXPECT_EQ(fresh.filename(), "new.xml");
    EXPECT_THROW(terrainFilePath(dir.path(), "../tilelist"), UnsafeNameError);
}

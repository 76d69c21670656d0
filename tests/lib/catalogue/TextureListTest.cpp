#include "catalogue/TextureList.h"

#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::string>;

void writeText(const fs::path& path, const std::string& text) {
    tbtest::writeBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

TEST(TextureListLines, ValueAfterTheFirstEqualsSign) {
    Rows rows;
    tb::fillPaletteRows({"textureid=$0003", "textureid=3", "$0003"}, rows);
    EXPECT_EQ(rows, (Rows{"0003", "0003", "0003"}));
    tb::fillPaletteRows({"a=$11A", "textureid=$0000000003", "x=467", "=-1"}, rows);
    EXPECT_EQ(rows, (Rows{"011A", "0003", "01D3", "FFFFFFFF"}));
}

TEST(TextureListLines, SecondEqualsSignIsPartOfTheValue) {
    try {
        tb::textureListValue("textureid=$0003=x");
        FAIL() << "no error";
    } catch (const tb::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'$0003=x' is not a valid integer value");
    }
}

TEST(TextureListLines, BadLineKeepsLaterRowsAndTheNewCount) {
    Rows rows{"0001", "0002", "0003", "0004"};
    EXPECT_THROW(tb::fillPaletteRows({"$0010", "oops", "$0030"}, rows), tb::ConversionError);
    EXPECT_EQ(rows, (Rows{"0010", "0002", "0003"}));
}

TEST(TextureListLines, EmptyListLeavesOneRowWithoutTile) {
    Rows rows{"0001", "0002"};
    tb::fillPaletteRows({}, rows);
    EXPECT_EQ(rows, (Rows{""}));
    EXPECT_FALSE(tb::paletteRowTileId(rows[0]));
    EXPECT_FALSE(tb::paletteRowTile(true, rows, 0));
    EXPECT_EQ(tb::findPaletteRow(rows, 0), -1);
}

TEST(PaletteRows, IdFromTheFirstFourCharacters) {
    EXPECT_EQ(tb::paletteRowTileId("01D3"), 0x1D3);
    EXPECT_EQ(tb::paletteRowTileId("3ffd"), 0x3FFD);
    EXPECT_EQ(tb::paletteRowTileId("10000"), 0x1000);
    EXPECT_FALSE(tb::paletteRowTileId("01G3"));
    EXPECT_FALSE(tb::paletteRowTileId("1D3"));
    EXPECT_EQ(tb::paletteRowText(0x1D3), "01D3");
    EXPECT_EQ(tb::paletteRowText(0x12345), "12345");
}

TEST(PaletteRows, FindFirstMatchingRow) {
    const Rows rows{"0005", "0003", "0007", "0003"};
    EXPECT_EQ(tb::findPaletteRow(rows, 3), 1);
    EXPECT_EQ(tb::findPaletteRow(rows, 7), 2);
    EXPECT_EQ(tb::findPaletteRow(rows, 8), -1);
}

TEST(PaletteGo, SortedAndFullViews) {
    const Rows rows{"0005", "0003"};
    EXPECT_EQ(tb::paletteGo(true, rows, 3), (tb::PaletteTarget{3, 1}));
    EXPECT_FALSE(tb::paletteGo(true, rows, 4));
    EXPECT_EQ(tb::paletteGo(false, rows, 0x3FFD), (tb::PaletteTarget{0x3FFD, 16381}));
    EXPECT_EQ(tb::paletteGo(false, rows, 4), (tb::PaletteTarget{4, 4}));
    EXPECT_FALSE(tb::paletteGo(false, rows, 0x3FFE));
    EXPECT_FALSE(tb::paletteGo(false, rows, -1));
}

TEST(PaletteGo, FindTextIsHexWithoutDollar) {
    EXPECT_EQ(tb::parseFindIdText("3FFD"), 0x3FFD);
    EXPECT_EQ(tb::parseFindIdText("1d3"), 0x1D3);
    try {
        tb::parseFindIdText("xyz");
        FAIL() << "no error";
    } catch (const tb::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'$xyz' is not a valid integer value");
    }
    EXPECT_THROW(tb::parseFindIdText("$12"), tb::ConversionError);
}

TEST(PaletteRows, IdLabel) {
    EXPECT_EQ(tb::paletteIdLabel(0x1D3), " 01 D3 ");
    EXPECT_EQ(tb::paletteIdLabel(0), " 00 00 ");
}

TEST(PaletteRows, SelectedRowTileInEachView) {
    const Rows rows{"0005", "01D3"};
    EXPECT_EQ(tb::paletteRowTile(true, rows, 1), 0x1D3);
    EXPECT_EQ(tb::paletteRowTile(false, rows, 1), 1);
    EXPECT_FALSE(tb::paletteRowTile(true, rows, 2));
    EXPECT_FALSE(tb::paletteRowTile(false, rows, tb::kFullPaletteRows));
}

TEST(TextureListFiles, LoadedWithoutRegardToCase) {
    tbtest::TempDir app;
    fs::create_directory(app / "Textures");
    writeText(app / "Textures" / "TileIds.LST", "textureid=$0003\r\ntextureid=$01D3\r\n");
    Rows rows{"9999"};
    tb::loadTextureList(app.path(), "textures\\tileids.lst", rows);
    EXPECT_EQ(rows, (Rows{"0003", "01D3"}));
    rows.clear();
    tb::loadTextureList(app.path(), "textures/tileids.lst", rows);
    EXPECT_EQ(rows.size(), 2u);
}

TEST(TextureListFiles, ByteOrderMarkedFilesAreRead) {
    tbtest::TempDir app;
    fs::create_directory(app / "textures");
    writeText(app / "textures" / "a.lst", "\xEF\xBB\xBFtextureid=$0042\r\n");
    Rows rows;
    tb::loadTextureList(app.path(), "textures/a.lst", rows);
    EXPECT_EQ(rows, (Rows{"0042"}));
}

TEST(TextureListFiles, MissingFileKeepsRows) {
    tbtest::TempDir app;
    Rows rows{"0001"};
    try {
        tb::loadTextureList(app.path(), "textures\\tileids.lst", rows);
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("tileids.lst"), std::string::npos);
    }
    EXPECT_EQ(rows, (Rows{"0001"}));
}

TEST(ListMenu, OneRadioEntryPerListFile) {
    tbtest::TempDir app;
    fs::create_directory(app / "TEXTURES");
    writeText(app / "TEXTURES" / "tileids.lst", "");
    writeText(app / "TEXTURES" / "Grass.LST", "");
    writeText(app / "TEXTURES" / "readme.txt", "");
    fs::create_directory(app / "TEXTURES" / "folder.lst");
    const auto entries = tb::buildListMenu(app.path(), "textures\\tileids.lst");
    EXPECT_EQ(entries, (std::vector<tb::ListMenuEntry>{
                           {"folder.lst", false}, {"Grass.LST", false}, {"tileids.lst", true}}));
    const auto other = tb::buildListMenu(app.path(), tb::textureListPath("grass.lst"));
    ASSERT_EQ(other.size(), 3u);
    EXPECT_TRUE(other[1].checked);
    EXPECT_FALSE(other[2].checked);
}

TEST(ListMenu, NoFolderGivesNoEntries) {
    tbtest::TempDir app;
    EXPECT_TRUE(tb::buildListMenu(app.path(), "textures\\tileids.lst").empty());
}

} // namespace

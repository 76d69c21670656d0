#include "catalogue/OptionsModel.h"
#include "catalogue/CatalogueNames.h"
#include "catalogue/TextureList.h"
#include "catalogue/TextureListWriter.h"

#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

std::string fileText(const fs::path& path) {
    const auto bytes = tbtest::readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeText(const fs::path& path, const std::string& text) {
    tbtest::writeBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

TEST(CatalogueNames, RefusesEmptySeparatorsAndDotNames) {
    EXPECT_EQ(tb::catalogueNameProblem("texture list", "grass.lst", "textures"), std::nullopt);
    EXPECT_EQ(tb::catalogueNameProblem("texture list", "grass", "textures"), std::nullopt);
    EXPECT_EQ(tb::catalogueNameProblem("texture list", "", "textures"),
              "The texture list name is empty.");
    for (const std::string& name :
         Lines{"a/b.lst", "..\\x.lst", "/etc/passwd", std::string("a\0b", 3)})
        EXPECT_NE(tb::catalogueNameProblem("texture list", name, "textures"), std::nullopt) << name;
    const auto outside = tb::catalogueNameProblem("texture list", "..", "textures");
    ASSERT_TRUE(outside);
    EXPECT_NE(outside->find("outside the textures folder"), std::string::npos);
    EXPECT_NE(tb::catalogueNameProblem("texture list", ".", "textures"), std::nullopt);
}

TEST(GroupRows, IdsAreJoinedByCommasAndQuotedWhenNeeded) {
    EXPECT_EQ(tb::joinGroupIds({"$0003", "$0004"}), "$0003,$0004");
    EXPECT_EQ(tb::joinGroupIds({}), "");
    EXPECT_EQ(tb::joinGroupIds({"a b", "x,y", "say \"hi\"", "tab\there", "$01"}),
              "\"a b\",\"x,y\",\"say \"\"hi\"\"\",\"tab\there\",$01");
    const auto rows = tb::groupRowsFromTileList({{"Grass", {"$0003", "$0004"}}, {"Empty", {}}});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "Grass");
    EXPECT_EQ(rows[0].idText, "$0003,$0004");
    EXPECT_EQ(rows[1].idText, "");
}

TEST(ListButtons, EnablingFollowsTheSelection) {
    using S = tb::ListButtonState;
    EXPECT_EQ(tb::listButtonState(-1, 3), S{});
    EXPECT_EQ(tb::listButtonState(0, 3), (S{true, true, false, true}));
    EXPECT_EQ(tb::listButtonState(1, 3), (S{true, true, true, true}));
    EXPECT_EQ(tb::listButtonState(2, 3), (S{true, true, true, false}));
    EXPECT_EQ(tb::listButtonState(0, 1), (S{true, true, false, false}));
    EXPECT_EQ(tb::listButtonState(3, 3), S{});
    EXPECT_EQ(tb::listButtonState(0, 0), S{});
}

TEST(GroupDialogTexts, AddIdAppendsWithATrailingCommaOnly) {
    EXPECT_EQ(tb::appendGroupTileId("", "0003"), "$0003,");
    EXPECT_EQ(tb::appendGroupTileId("$0003,", "0004"), "$0003,$0004,");
    EXPECT_EQ(tb::appendGroupTileId("$0003,$0004", "0005"), "$0003,$0004$0005,");
    EXPECT_EQ(tb::pickerTileText("01D3"), "$01D3");
}

TEST(TextureListFiles, LoadItemsShowsFourHexDigits) {
    tbtest::TempDir app;
    fs::create_directory(app / "TEXTURES");
    writeText(app / "TEXTURES" / "tileids.lst", "textureid=3\r\ntextureid=$11a\r\n$FFFF\r\n");
    Lines items;
    tb::loadListItems(app.path(), "tileids.lst", items);
    EXPECT_EQ(items, (Lines{"$0003", "$011A", "$FFFF"}));

    writeText(app / "TEXTURES" / "bad.lst", "textureid=1\r\ntextureid=x\r\ntextureid=2\r\n");
    items.clear();
    EXPECT_THROW(tb::loadListItems(app.path(), "bad.lst", items), tb::ConversionError);
    EXPECT_EQ(items, Lines{"$0001"});

    items.clear();
    EXPECT_THROW(tb::loadListItems(app.path(), "none.lst", items), tb::FileError);
    EXPECT_THROW(tb::loadListItems(app.path(), "../tileids.lst", items), tb::UnsafeNameError);
    EXPECT_TRUE(items.empty());
}

TEST(TextureListFiles, WriteKeepsItemsAsTheyStandAndFindsTheFolderIgnoringCase) {
    tbtest::TempDir app;
    fs::create_directory(app / "TEXTURES");
    tb::writeTextureList(app.path(), "grass.lst", {"$0003", "$", "12"});
    EXPECT_EQ(fileText(app / "TEXTURES" / "grass.lst"),
              "textureid=$0003\r\ntextureid=$\r\ntextureid=12\r\n");
    tb::writeTextureList(app.path(), "noext", {});
    EXPECT_TRUE(fs::exists(app / "TEXTURES" / "noext"));
    EXPECT_EQ(tb::textureListNames(app.path()), Lines{"grass.lst"});
    EXPECT_THROW(tb::writeTextureList(app.path(), "../tilelist.xml", {"$0001"}),
                 tb::UnsafeNameError);
    EXPECT_THROW(tb::writeTextureList(app.path(), "..", {"$0001"}), tb::UnsafeNameError);
    EXPECT_FALSE(fs::exists(app / "tilelist.xml"));
}

struct SequenceFixture {
    tbtest::TempDir app;
    Lines calls;
    tb::OptionsSaveSteps steps{
        [this] { calls.push_back("groups"); },
        [this](const std::string& path) { calls.push_back("list " + path); },
        [this](const std::string& path) { calls.push_back("menu " + path); },
    };
};

TEST(OptionsSaveSequence, WritesBothCataloguesAndRunsTheStepsInOrder) {
    SequenceFixture f;
    fs::create_directory(f.app / "textures");
    tb::OptionsResult result{{{"Grass", "$0003,$0004,"}}, {"$0003", "$0004"}, "grass.lst"};
    tb::runOptionsSaveSequence(f.app.path(), result, f.steps);
    EXPECT_EQ(f.calls, (Lines{"groups", "list textures/grass.lst", "menu textures/grass.lst"}));
    EXPECT_EQ(fileText(f.app / "textures" / "grass.lst"), "textureid=$0003\r\ntextureid=$0004\r\n");
    const auto groups = tb::readTileList(f.app / "tilelist.xml");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].tileIds, (Lines{"$0003", "$0004"}));
    // The list menu built with that path holds the new list, checked.
    const auto menu = tb::buildListMenu(f.app.path(), "textures/grass.lst");
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0], (tb::ListMenuEntry{"grass.lst", true}));
}

TEST(OptionsSaveSequence, AFailedTextureListWriteStopsAfterTheGroups) {
    SequenceFixture f; // no textures folder: the list cannot be written
    writeText(f.app / "tilelist.xml", "old");
    tb::OptionsResult result{{{"Sand", "$0016"}}, {"$0016"}, "tileids.lst"};
    EXPECT_THROW(tb::runOptionsSaveSequence(f.app.path(), result, f.steps), tb::FileError);
    EXPECT_EQ(f.calls, Lines{"groups"});
    EXPECT_EQ(tb::readTileList(f.app / "tilelist.xml").size(), 1u);
}

TEST(OptionsSaveSequence, AFailedTileListWriteStopsBeforeEverything) {
    SequenceFixture f;
    fs::create_directory(f.app / "textures");
    fs::create_directory(f.app / "tilelist.xml"); // a folder in the file's place
    tb::OptionsResult result{{}, {"$0001"}, "tileids.lst"};
    EXPECT_THROW(tb::runOptionsSaveSequence(f.app.path(), result, f.steps), tb::FileError);
    EXPECT_TRUE(f.calls.empty());
    EXPECT_FALSE(fs::exists(f.app / "textures" / "tileids.lst"));
}

TEST(OptionsSaveSequence, AnUnsafeListNameWritesNothing) {
    SequenceFixture f;
    fs::create_directory(f.app / "textures");
    writeText(f.app / "tilelist.xml", "old");
    tb::OptionsResult result{{{"Sand", "$0016"}}, {"$0016"}, "../tilelist.xml"};
    EXPECT_THROW(tb::runOptionsSaveSequence(f.app.path(), result, f.steps), tb::UnsafeNameError);
    EXPECT_TRUE(f.calls.empty());
    EXPECT_EQ(fileText(f.app / "tilelist.xml"), "old");
}

} // namespace

#include "catalogue/BrushFile.h"
#include "catalogue/BrushPattern.h"
#include "catalogue/CatalogueNames.h"

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

TEST(BrushPattern, OpensAsFiveByFiveWithoutTiles) {
    tb::BrushPattern brush;
    EXPECT_EQ(brush.colCount(), 5);
    EXPECT_EQ(brush.rowCount(), 5);
    EXPECT_EQ(brush.cell(4, 4), "NODRAW");
    EXPECT_TRUE(brush.fileLines().empty());
}

TEST(BrushPattern, WritesColumnByColumnAndLeavesOutEmptyCells) {
    tb::BrushPattern brush;
    brush.setCell(2, 1, 0x1D3);
    EXPECT_EQ(brush.fileLines(), Lines{"2,1,$01D3"});
    brush.setCell(0, 4, 0x1A);
    brush.setCell(0, 0, 3);
    brush.setCell(1, 0, 0xFFFF);
    EXPECT_EQ(brush.fileLines(), (Lines{"0,0,$0003", "0,4,$001A", "1,0,$FFFF", "2,1,$01D3"}));
    // The NODRAW pen clears a cell, which then drops out of the file.
    brush.setCell(0, 4, -1);
    EXPECT_EQ(brush.cell(0, 4), "NODRAW");
    EXPECT_EQ(brush.fileLines(), (Lines{"0,0,$0003", "1,0,$FFFF", "2,1,$01D3"}));
}

TEST(BrushPattern, ShrinkingLeavesOutCellsBeyondTheNewSizeAndGrowingShowsThemAgain) {
    tb::BrushPattern brush;
    brush.setCell(0, 0, 1);
    brush.setCell(4, 0, 2);
    brush.setCell(0, 3, 3);
    brush.setColCount(3);
    brush.setRowCount(2);
    EXPECT_EQ(brush.fileLines(), Lines{"0,0,$0001"});
    EXPECT_EQ(brush.cell(4, 0), "NODRAW");
    brush.setCell(4, 0, 9); // outside: ignored
    brush.setColCount(5);
    brush.setRowCount(5);
    EXPECT_EQ(brush.fileLines(), (Lines{"0,0,$0001", "0,3,$0003", "4,0,$0002"}));
    brush.setColCount(0);
    EXPECT_EQ(brush.colCount(), 1);
}

TEST(BrushPattern, LoadSizesTheGridToTheLargestCell) {
    tb::BrushPattern brush;
    brush.setCell(4, 4, 7);
    brush.load({"0,0,$0003", "3,2,$0004"});
    EXPECT_EQ(brush.colCount(), 4);
    EXPECT_EQ(brush.rowCount(), 3);
    EXPECT_EQ(brush.cell(0, 0), "$0003");
    EXPECT_EQ(brush.cell(3, 2), "$0004");
    EXPECT_EQ(brush.cell(1, 1), "NODRAW");
    // The earlier content is gone even where the grid grows back.
    brush.setColCount(5);
    brush.setRowCount(5);
    EXPECT_EQ(brush.cell(4, 4), "NODRAW");

    brush.load({});
    EXPECT_EQ(brush.colCount(), 1);
    EXPECT_EQ(brush.rowCount(), 1);
    EXPECT_EQ(brush.cell(0, 0), "NODRAW");
}

TEST(BrushPattern, LoadReadsDecimalAndHexAndIgnoresTrailingBlanks) {
    tb::BrushPattern brush;
    brush.load({"2,1,467", "$1,$0,$1A \t\r"});
    EXPECT_EQ(brush.cell(2, 1), "$01D3");
    EXPECT_EQ(brush.cellTile(2, 1), 467);
    EXPECT_EQ(brush.cell(1, 0), "$001A");
    EXPECT_EQ(brush.fileLines(), (Lines{"1,0,$001A", "2,1,$01D3"}));
}

TEST(BrushPattern, LoadSkipsLinesThatNameNoValidCell) {
    tb::BrushPattern brush;
    brush.load({"", "1,2", "x,1,$0003", "1,y,$0003", "1,1,$zz", "-1,0,3", "0,-2,3", "0,0,-1",
                "0,0,$10000", "256,0,3", "0,9999999,3", "1,1,$0005"});
    EXPECT_EQ(brush.colCount(), 2);
    EXPECT_EQ(brush.rowCount(), 2);
    EXPECT_EQ(brush.fileLines(), Lines{"1,1,$0005"});
}

TEST(BrushLines, ThreeIntegerFieldsOrSkipped) {
    const auto cells = tb::parseBrushLines(
        {"1,2,$003F", "", "abc", "1,2", "1,x,3", "0,9,1,$10", "-1,-2,467\r", "  3, 4,$1D3  "});
    EXPECT_EQ(cells, (std::vector<tb::BrushCell>{
                         {1, 2, 0x3F}, {0, 1, 0x10}, {-1, -2, 467}, {3, 4, 0x1D3}}));
}

TEST(BrushPattern, LoadAcceptsCellsBeyondTheUpDownRange) {
    tb::BrushPattern brush;
    brush.load({"12,0,$0003", "0,10,$0004"});
    EXPECT_EQ(brush.colCount(), 13);
    EXPECT_EQ(brush.rowCount(), 11);
    EXPECT_EQ(brush.fileLines(), (Lines{"0,10,$0004", "12,0,$0003"}));
}

TEST(BrushFiles, WriteThenListAndReadBack) {
    tbtest::TempDir app;
    fs::create_directory(app / "brushes");
    tb::writeBrushLines(app.path(), "Pond", {"2,1,$01D3"});
    EXPECT_EQ(fileText(app / "brushes" / "Pond.brs"), "2,1,$01D3\r\n");
    tb::writeBrushLines(app.path(), "Empty", {});
    EXPECT_EQ(fileText(app / "brushes" / "Empty.brs"), "");
    fs::create_directory(app / "brushes" / "folder.brs");
    writeText(app / "brushes" / "notes.txt", "x");
    writeText(app / "brushes" / "UPPER.BRS", "0,0,3\r\n");
    EXPECT_EQ(tb::listBrushNames(app.path()), (Lines{"Empty", "Pond", "UPPER"}));
    EXPECT_EQ(tb::readBrushLines(app.path(), "pond"), Lines{"2,1,$01D3"});
}

TEST(BrushFiles, SavingUnderAnotherCaseReplacesTheSameFile) {
    tbtest::TempDir app;
    fs::create_directory(app / "BRUSHES");
    tb::writeBrushLines(app.path(), "Pond", {"0,0,$0001"});
    tb::writeBrushLines(app.path(), "pond", {"0,0,$0002"});
    EXPECT_EQ(tb::listBrushNames(app.path()), Lines{"Pond"});
    EXPECT_EQ(fileText(app / "BRUSHES" / "Pond.brs"), "0,0,$0002\r\n");
}

TEST(BrushFiles, MissingFolderOrFileIsAFileError) {
    tbtest::TempDir app;
    EXPECT_TRUE(tb::listBrushNames(app.path()).empty());
    EXPECT_THROW(tb::writeBrushLines(app.path(), "Pond", {"0,0,$0001"}), tb::FileError);
    EXPECT_FALSE(fs::exists(app / "brushes"));
    fs::create_directory(app / "brushes");
    EXPECT_THROW(tb::readBrushLines(app.path(), "Nothing"), tb::FileError);
}

TEST(BrushFiles, UnsafeNamesAreRefusedBeforeAnythingIsWritten) {
    tbtest::TempDir app;
    fs::create_directories(app / "brushes" / "sub");
    for (const char* name : {"", "../evil", "..\\evil", "sub/x", "/tmp/x", "a\\b"}) {
        try {
            tb::writeBrushLines(app.path(), name, {"0,0,$0001"});
            ADD_FAILURE() << "accepted '" << name << "'";
        } catch (const tb::UnsafeNameError& error) {
            EXPECT_NE(std::string(error.what()).find("brush name"), std::string::npos);
        }
    }
    EXPECT_THROW(tb::readBrushLines(app.path(), "../brushes/x"), tb::UnsafeNameError);
    EXPECT_FALSE(fs::exists(app / "evil.brs"));
    EXPECT_FALSE(fs::exists(app / "brushes" / "sub" / "x.brs"));
    EXPECT_THROW(tb::brushFilePath(app.path(), ".."), tb::UnsafeNameError);
    EXPECT_EQ(tb::brushFilePath(app.path(), "a..b").filename(), "a..b.brs");
}

} // namespace

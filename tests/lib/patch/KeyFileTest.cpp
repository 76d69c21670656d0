#include "patch/KeyFile.h"
#include "patch/CoordList.h"
#include "shell/Errors.h"
#include "shell/LineFile.h"

#include "PatchFixtures.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

using patchtest::readText;
using patchtest::writeText;

namespace {

tb::KeyFile parseText(const std::string& text) {
    return tb::KeyFile::parse(tb::decodeLines(text));
}

} // namespace

TEST(KeyFile, SectionsAndKeysMatchWithoutCaseAndBlankLinesAreIgnored) {
    const auto file =
        parseText("\r\n[Main]\r\n\r\nColour = Red \r\nsize=3\r\n\r\n[other]\r\nx=1\r\n");
    EXPECT_EQ(file.readString("MAIN", "COLOUR", "?"), "Red");
    EXPECT_EQ(file.readString("main", "Size", "?"), "3");
    EXPECT_EQ(file.readString("OTHER", "X", "?"), "1");
    EXPECT_EQ(file.readString("other", "y", "default"), "default");
    EXPECT_EQ(file.readString("missing", "x", "d"), "d");
    EXPECT_EQ(file.readString("Mai", "Colour", "d"), "d");
}

TEST(KeyFile, FirstOfARepeatedSectionOrKeyWins) {
    const auto file = parseText("[0]\nX=1\nx=2\n[0]\nX=3\nY=4\n");
    EXPECT_EQ(file.readString("0", "X", ""), "1");
    // Lookups see only the first section of that name.
    EXPECT_EQ(file.readString("0", "Y", "none"), "none");
    EXPECT_EQ(file.entryCount(), 2);
}

TEST(KeyFile, EntryCountTakesBracketLinesExactlyAsStored) {
    // Counted: "[0]", "[x]" and "[]"; not counted: the indented one, the one with a trailing
    // blank, and the one without a closing bracket, although they all open sections.
    const auto file = parseText("[0]\n X=1\n [1]\n[2] \n[x]\n[]\n[3\nX=5\n");
    EXPECT_EQ(file.entryCount(), 3);
    EXPECT_EQ(file.readString("1", "X", "?"), "?");
    EXPECT_EQ(file.readString("0", "X", "?"), "1");
    EXPECT_EQ(file.readString("3", "X", "?"), "5");
}

TEST(KeyFile, CrLfLfAndCrLineEndsReadTheSame) {
    for (const std::string& eol : {std::string("\r\n"), std::string("\n"), std::string("\r")}) {
        const auto file = parseText("[0]" + eol + "X=10" + eol + "[1]" + eol + "X=20" + eol);
        EXPECT_EQ(file.entryCount(), 2);
        EXPECT_EQ(file.readString(1, "X", ""), "20");
    }
}

TEST(KeyFile, LinesThatAreNeitherSectionNorKeyAndKeysBeforeAnySectionAreIgnored) {
    const auto file = parseText("X=99\ngarbage line\n[0]\nnot a key\nY=7=8\n");
    EXPECT_EQ(file.entryCount(), 1);
    EXPECT_EQ(file.readString("0", "X", "none"), "none");
    EXPECT_EQ(file.readString("0", "Y", ""), "7=8"); // the value runs past a second '='
}

TEST(KeyFile, MissingFileCountsZeroAndDirectoryIsAFileError) {
    tbtest::TempDir dir;
    EXPECT_EQ(tb::KeyFile::load(dir / "nothing.qvp").entryCount(), 0);
    EXPECT_THROW(tb::KeyFile::load(dir.path()), tb::FileError);
}

TEST(KeyFile, ReadsWindows1252AndWritesWindows1252WithCrLf) {
    tbtest::TempDir dir;
    writeText(dir / "a.def", "[0]\nName=Caf\xE9 \x80\n");
    auto file = tb::KeyFile::load(dir / "a.def");
    EXPECT_EQ(file.readString("0", "Name", ""), "Caf\xC3\xA9 \xE2\x82\xAC"); // UTF-8 inside
    tb::writeCoordFile(dir / "b.def", {{file.readString("0", "Name", ""), "\xC3\xBC"}}); // ü
    EXPECT_EQ(readText(dir / "b.def"), "[0]\r\nX=Caf\xE9 \x80\r\nY=\xFC\r\n");
}

TEST(KeyFile, EntryLinesKeepEachTextOnItsLine) {
    EXPECT_EQ(tb::entryLines(1, {{"X", "line\nbreak"}, {"Y", "7"}}),
              (std::vector<std::string>{"[1]", "X=line break", "Y=7"}));
}

TEST(CoordList, ExportImportRoundTripKeepsTextsAndOrder) {
    tbtest::TempDir dir;
    const std::vector<tb::CoordText> rows{{"1500", "1650"}, {"007", "abc"}, {"1500", "1650"}};
    tb::writeCoordFile(dir / "coords.def", rows);
    EXPECT_EQ(readText(dir / "coords.def"),
              "[0]\r\nX=1500\r\nY=1650\r\n[1]\r\nX=007\r\nY=abc\r\n[2]\r\nX=1500\r\nY=1650\r\n");
    EXPECT_EQ(tb::readCoordFile(dir / "coords.def"), rows);
}

TEST(CoordList, WriterReplacesTheWholeFileSoRemovedRowsDoNotComeBack) {
    tbtest::TempDir dir;
    const auto path = dir / "coords.def";
    tb::writeCoordFile(path, {{"1", "1"}, {"2", "2"}, {"3", "3"}});
    tb::writeCoordFile(path, {{"9", "9"}});
    EXPECT_EQ(tb::readCoordFile(path), (std::vector<tb::CoordText>{{"9", "9"}}));
    tb::writeCoordFile(path, {});
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(readText(path), "");
    EXPECT_EQ(tb::KeyFile::load(path).entryCount(), 0);
}

TEST(CoordList, MissingKeysReadAsZeroAndSectionsAreReadByIndexName) {
    tbtest::TempDir dir;
    writeText(dir / "c.def", "[5]\nX=1\n[1]\nx=4\n");
    EXPECT_EQ(tb::readCoordFile(dir / "c.def"),
              (std::vector<tb::CoordText>{{"0", "0"}, {"4", "0"}}));
    EXPECT_TRUE(tb::readCoordFile(dir / "none.def").empty());
}

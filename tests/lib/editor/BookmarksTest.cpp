#include "editor/Bookmarks.h"

#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

std::string fileText(const std::filesystem::path& path) {
    const auto bytes = tbtest::readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    tbtest::writeBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

std::string entryText(int i, const std::string& col, const std::string& row,
                      const std::string& enabled) {
    const std::string id = std::to_string(i);
    return "  <Bookmark id=\"" + id + "\">\r\n" + "    <Col id=\"" + id + "\">" + col +
           "</Col>\r\n" + "    <Row id=\"" + id + "\">" + row + "</Row>\r\n" +
           "    <Enabled id=\"" + id + "\">" + enabled + "</Enabled>\r\n" + "  </Bookmark>\r\n";
}

TEST(BookmarkFile, WrittenByteForByte) {
    tbtest::TempDir dir;
    tb::Bookmarks marks;
    marks.toggle(3, 100, -200);
    marks.at(9) = {7167, 4095, false};
    writeBookmarkFile(dir / "bookmarklist.xml", marks);

    std::string expected = "<?xml version=\"1.0\" ?>\r\n<BookmarkList>\r\n";
    for (int i = 0; i < 10; ++i) {
        if (i == 3)
            expected += entryText(i, "100", "-200", "True");
        else if (i == 9)
            expected += entryText(i, "7167", "4095", "False");
        else
            expected += entryText(i, "0", "0", "False");
    }
    expected += "</BookmarkList>\r\n";
    EXPECT_EQ(fileText(dir / "bookmarklist.xml"), expected);
}

TEST(BookmarkFile, RoundTripGivesTheSameEntries) {
    tbtest::TempDir dir;
    tb::Bookmarks marks;
    for (int i = 0; i < 10; ++i)
        marks.at(i) = {i * 700 - 5, 4095 - i * 3, i % 3 == 0};
    writeBookmarkFile(dir / "b.xml", marks);
    tb::Bookmarks back;
    readBookmarkFile(dir / "b.xml", back);
    EXPECT_EQ(back, marks);
}

TEST(BookmarkFile, EntriesFilledInFileOrderNotById) {
    tb::Bookmarks marks;
    tb::readBookmarkDocument(R"(<?xml version="1.0" ?>
<BookmarkList>
  <Bookmark id="5"><Col id="5">55</Col><Row id="5">56</Row><Enabled id="5">True</Enabled></Bookmark>
  <Bookmark id="0"><Col id="0">1</Col><Row id="0">2</Row><Enabled id="0">true</Enabled></Bookmark>
</BookmarkList>)",
                             marks);
    EXPECT_EQ(marks.at(0), (tb::Bookmark{55, 56, true}));
    EXPECT_EQ(marks.at(1), (tb::Bookmark{1, 2, false})); // "true" is not "True"
    EXPECT_EQ(marks.at(5), tb::Bookmark{});
}

TEST(BookmarkFile, TextPastTheTenthEntryIsIgnored) {
    std::string doc = "<BookmarkList>";
    for (int i = 0; i < 12; ++i)
        doc +=
            "<Bookmark><Col>" + std::to_string(i + 1) + "</Col><Enabled>True</Enabled></Bookmark>";
    doc += "</BookmarkList>";
    tb::Bookmarks marks;
    tb::readBookmarkDocument(doc, marks);
    EXPECT_EQ(marks.at(9), (tb::Bookmark{10, 0, true}));
    EXPECT_EQ(marks.at(0), (tb::Bookmark{1, 0, true}));
}

TEST(BookmarkFile, MissingFileLeavesDefaults) {
    tbtest::TempDir dir;
    tb::Bookmarks marks;
    readBookmarkFile(dir / "nothing.xml", marks);
    EXPECT_EQ(marks, tb::Bookmarks{});
}

TEST(BookmarkFile, BadNumberStopsReadingAndKeepsWhatCameBefore) {
    tbtest::TempDir dir;
    writeText(dir / "b.xml", "<BookmarkList><Bookmark><Col>4</Col><Row>5</Row></Bookmark>"
                             "<Bookmark><Col>six</Col><Row>7</Row></Bookmark></BookmarkList>");
    tb::Bookmarks marks;
    try {
        readBookmarkFile(dir / "b.xml", marks);
        FAIL() << "no error";
    } catch (const tb::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'six' is not a valid integer value");
    }
    EXPECT_EQ(marks.at(0), (tb::Bookmark{4, 5, false}));
    EXPECT_EQ(marks.at(1), tb::Bookmark{});
}

TEST(BookmarkFile, WriteFailureNamesTheFile) {
    tbtest::TempDir dir;
    try {
        writeBookmarkFile(dir / "missing-folder" / "bookmarklist.xml", tb::Bookmarks{});
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("bookmarklist.xml"), std::string::npos);
    }
}

TEST(BookmarkChords, CtrlAltTogglesTwiceToDisabledAtThatCell) {
    tb::Bookmarks marks;
    auto r = tb::bookmarkChord(marks, 3, true, true, 10, 20);
    EXPECT_TRUE(r.repaintView);
    ASSERT_TRUE(r.jumpTo); // Ctrl is held, so the fresh bookmark is recalled too
    EXPECT_EQ(r.jumpTo->x, 10);
    EXPECT_EQ(marks.numbersAt(10, 20), std::vector<int>{3});
    r = tb::bookmarkChord(marks, 3, true, true, 10, 20);
    EXPECT_TRUE(r.repaintView);
    EXPECT_FALSE(r.jumpTo);
    EXPECT_EQ(marks.at(3), (tb::Bookmark{10, 20, false}));
    EXPECT_TRUE(marks.numbersAt(10, 20).empty());
}

TEST(BookmarkChords, SecondToggleStoresTheOtherCell) {
    tb::Bookmarks marks;
    tb::bookmarkChord(marks, 4, true, true, 1, 1);
    tb::bookmarkChord(marks, 4, true, true, 8, 9);
    EXPECT_EQ(marks.at(4), (tb::Bookmark{8, 9, false}));
}

TEST(BookmarkChords, CtrlRecallsOnlyEnabledBookmarks) {
    tb::Bookmarks marks;
    marks.at(7) = {300, 400, true};
    marks.at(2) = {1, 1, false};
    auto r = tb::bookmarkChord(marks, 7, true, false, 0, 0);
    EXPECT_FALSE(r.repaintView);
    ASSERT_TRUE(r.jumpTo);
    EXPECT_EQ(r.jumpTo->x, 300);
    EXPECT_EQ(r.jumpTo->y, 400);
    EXPECT_FALSE(tb::bookmarkChord(marks, 2, true, false, 0, 0).jumpTo);
    r = tb::bookmarkChord(marks, 7, false, true, 0, 0);
    EXPECT_FALSE(r.repaintView);
    EXPECT_FALSE(r.jumpTo);
    EXPECT_EQ(marks.at(7), (tb::Bookmark{300, 400, true}));
}

TEST(BookmarkLabels, AllEnabledNumbersOnTheCellLowestFirst) {
    tb::Bookmarks marks;
    marks.at(8) = {5, 5, true};
    marks.at(1) = {5, 5, true};
    marks.at(4) = {5, 5, false};
    EXPECT_EQ(marks.numbersAt(5, 5), (std::vector<int>{1, 8}));
}

} // namespace

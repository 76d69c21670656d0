#include "shell/LineFile.h"
#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace tb;
using Lines = std::vector<std::string>;

namespace {

std::string fileText(const std::filesystem::path& p) {
    const auto bytes = tbtest::readBytes(p);
    return {bytes.begin(), bytes.end()};
}

} // namespace

TEST(LineFile, SplitsOnCrLfLfAndLoneCr) {
    EXPECT_EQ(decodeLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(decodeLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(decodeLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(decodeLines("\r\n\nx"), (Lines{"", "", "x"}));
    EXPECT_EQ(decodeLines(""), Lines{});
    EXPECT_EQ(decodeLines("\r\n"), Lines{""});
}

TEST(LineFile, ReadsWindows1252UnlessAByteOrderMarkSaysOtherwise) {
    EXPECT_EQ(decodeLines("caf\xE9\r\n\x80"), (Lines{"caf\u00E9", "\u20AC"}));
    EXPECT_EQ(decodeLines("\xEF\xBB\xBF"
                          "caf\xC3\xA9\r\nx"),
              (Lines{"caf\u00E9", "x"}));
    EXPECT_EQ(decodeLines("\xEF\xBB\xBF"
                          "a\xFFz"),
              Lines{"a\uFFFDz"});
    // UTF-16 little and big endian, with a surrogate pair.
    EXPECT_EQ(decodeLines(std::string("\xFF\xFE"
                                      "a\0\r\0\n\0\xE9\0\x3D\xD8\x00\xDE",
                                      14)),
              (Lines{"a", "\u00E9\U0001F600"}));
    EXPECT_EQ(decodeLines(std::string("\xFE\xFF\0a\0\n\0b", 8)), (Lines{"a", "b"}));
    EXPECT_EQ(decodeLines(std::string("\xFF\xFE"
                                      "a\0b",
                                      5)),
              (Lines{"a\uFFFD"}));
}

TEST(LineFile, EncodesWithCrLfAfterEveryLineInWindows1252) {
    EXPECT_EQ(encodeLines({"textureid=$011A", "caf\u00E9 \u20AC", "\u03A9"}),
              "textureid=$011A\r\ncaf\xE9 \x80\r\n?\r\n");
    EXPECT_EQ(encodeLines({}), "");
    EXPECT_EQ(encodeLines({""}), "\r\n");
    EXPECT_EQ(encodeLines({"\u03A9"}, TextEncoding::Utf8), "\u03A9\r\n");
}

TEST(LineFile, WritesAndReadsBackAFile) {
    tbtest::TempDir dir;
    const auto path = dir / "coords.def";
    const Lines lines{"[Coords]", "", "Name=Britain \u00C6", "last"};
    writeLines(path, lines);
    EXPECT_EQ(fileText(path), "[Coords]\r\n\r\nName=Britain \xC6\r\nlast\r\n");
    EXPECT_EQ(readLines(path), lines);
    writeLines(path, {"short"});
    EXPECT_EQ(readLines(path), Lines{"short"});
}

TEST(LineFile, FailuresNameTheFileAndKeepTheOldOne) {
    tbtest::TempDir dir;
    const auto missing = dir / "missing.lst";
    try {
        readLines(missing);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.lst"), std::string::npos) << e.what();
    }
    EXPECT_THROW(readLines(dir.path()), FileError);
    EXPECT_THROW(readLines("/dev/zero"), FileError); // would never end

    const auto target = dir / "sub" / "list.lst";
    EXPECT_THROW(writeLines(target, {"x"}), FileError); // folder does not exist
    EXPECT_FALSE(std::filesystem::exists(target));
}

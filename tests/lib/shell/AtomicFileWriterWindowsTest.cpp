// What the Windows side of the atomic replace keeps: the file's attributes; and the refusal
// of a read-only file.
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace fs = std::filesystem;
using tbtest::entriesIn;
using tbtest::readText;

namespace {

DWORD attributesOf(const fs::path& p) {
    return ::GetFileAttributesW(p.c_str());
}

} // namespace

TEST(AtomicFileWindows, TheReplacedFileKeepsItsHiddenAndArchiveAttributes) {
    tbtest::TempDir dir;
    const auto target = dir / "bookmarklist.xml";
    tb::writeFileAtomically(target, std::string_view("old"));
    ASSERT_TRUE(
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_NE(attributesOf(target) & FILE_ATTRIBUTE_HIDDEN, 0u) << "no hidden files here";
    tb::writeFileAtomically(target, std::string_view("new"));
    EXPECT_EQ(readText(target), "new");
    EXPECT_NE(attributesOf(target) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_NE(attributesOf(target) & FILE_ATTRIBUTE_ARCHIVE, 0u);
    EXPECT_EQ(entriesIn(dir.path()), 1u);

    // A new file gets the usual attributes, not those of an earlier one.
    tb::writeFileAtomically(dir / "coords.def", std::string_view("x"));
    EXPECT_EQ(attributesOf(dir / "coords.def") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(AtomicFileWindows, AReadOnlyFileIsRefusedBeforeAnyWork) {
    tbtest::TempDir dir;
    const auto file = dir / "map0.mul";
    tb::writeFileAtomically(file, std::string_view("kept"));
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        tb::AtomicFileWriter writer(file);
        ADD_FAILURE() << "not refused";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("map0.mul"), std::string::npos) << e.what();
    }
    EXPECT_EQ(readText(file), "kept");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); // so the folder can go
}

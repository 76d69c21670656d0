#include "shell/FileIdentity.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path) {
    std::ofstream(path, std::ios::binary) << 'x';
}

} // namespace

TEST(FileIdentity, SameFileTellsExistingFilesApartByIdentity) {
    tbtest::TempDir tmp;
    writeFile(tmp / "a");
    writeFile(tmp / "b");
    fs::create_directories(tmp / "d");
    EXPECT_TRUE(tb::sameFile(tmp / "a", tmp / "d" / ".." / "a"));
    EXPECT_FALSE(tb::sameFile(tmp / "a", tmp / "b"));
    // A file yet to be written: the same normalised path, or not.
    EXPECT_TRUE(tb::sameFile(tmp / "new", tmp / "d" / ".." / "new"));
    EXPECT_FALSE(tb::sameFile(tmp / "new", tmp / "a"));
}

TEST(FileIdentity, SameFileFollowsSymbolicLinks) {
    tbtest::TempDir tmp;
    writeFile(tmp / "a");
    fs::create_directories(tmp / "d");
    fs::create_symlink(tmp / "a", tmp / "d" / "link");
    EXPECT_TRUE(tb::sameFile(tmp / "d" / "link", tmp / "a"));
}

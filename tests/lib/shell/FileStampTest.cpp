#include "shell/FileStamp.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const char* text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

} // namespace

TEST(FileStamp, TellsAnOutsideWriteBySizeOrTime) {
    tbtest::TempDir tmp;
    const fs::path file = tmp / "map0.mul";
    writeFile(file, "abcd");
    const tb::FileStamp loaded = tb::FileStamp::take(file);
    EXPECT_FALSE(loaded.changedOnDisk());
    EXPECT_TRUE(loaded.names(tmp / "." / "map0.mul"));
    EXPECT_FALSE(loaded.names(tmp / "map1.mul"));

    // Same size, later time: another writer with bytes of its own.
    const fs::file_time_type before = fs::last_write_time(file);
    writeFile(file, "wxyz");
    fs::last_write_time(file, before + std::chrono::seconds(2));
    EXPECT_TRUE(loaded.changedOnDisk());
    const tb::FileStamp rewritten = tb::FileStamp::take(file);
    EXPECT_NE(rewritten, loaded);
    EXPECT_FALSE(rewritten.changedOnDisk());

    // Another size with the time put back.
    writeFile(file, "longer");
    fs::last_write_time(file, before + std::chrono::seconds(2));
    EXPECT_TRUE(rewritten.changedOnDisk());

    // Gone, and back again.
    fs::remove(file);
    EXPECT_TRUE(rewritten.changedOnDisk());
    const tb::FileStamp absent = tb::FileStamp::take(file);
    EXPECT_FALSE(absent.exists());
    EXPECT_FALSE(absent.changedOnDisk());
    writeFile(file, "abcd");
    EXPECT_TRUE(absent.changedOnDisk());

    // A stamp of nothing never changes and names nothing.
    EXPECT_FALSE(tb::FileStamp().changedOnDisk());
    EXPECT_FALSE(tb::FileStamp().names(file));
}

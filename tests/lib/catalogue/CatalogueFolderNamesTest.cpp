// Catalogue names typed by the user reach the file system as their own characters, on
// Windows too (where a narrow string would pass through the ANSI code page).
#include "catalogue/TextureList.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(CatalogueFolderNames, ListNamesOutsideAsciiResolveToTheirOwnFiles) {
    tbtest::TempDir dir;
    fs::create_directories(dir.path() / u8"textures");
    tbtest::writeBytes(dir.path() / u8"textures" / u8"Wüste.lst", {'1', '\r', '\n'});

    // An existing list, named in another case.
    const fs::path found = tb::resolveAppPath(dir.path(), "TEXTURES\\Wüste.lst");
    EXPECT_EQ(found.filename(), fs::path(u8"Wüste.lst"));
    EXPECT_TRUE(fs::exists(found));
    // A list not written yet keeps the name as typed.
    const fs::path fresh = tb::resolveAppPath(dir.path(), "textures/沙漠.lst");
    EXPECT_EQ(fresh, dir.path() / u8"textures" / u8"沙漠.lst");
}

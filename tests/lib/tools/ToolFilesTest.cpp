#include "tools/ToolFiles.h"

#include "MapFixtures.h"
#include "TestPaths.h"

#include "shell/Errors.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(ToolFiles, ShortReadsAndMissingFilesAreFileErrorsNamingTheFile) {
    tbtest::TempDir dir;
    toolstest::makeSparseFile(dir / "map4.mul", 100);
    const tb::PositionedFile file(dir / "map4.mul", tb::PositionedFile::Mode::Read);
    unsigned char buffer[8];
    EXPECT_NO_THROW(file.readAt(92, buffer, 8));
    try {
        file.readAt(96, buffer, 8);
        ADD_FAILURE() << "a read past the end succeeded";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find("map4.mul"), std::string::npos) << e.what();
    }
    EXPECT_THROW(tb::PositionedFile(dir / "none.mul", tb::PositionedFile::Mode::ReadWrite),
                 tb::FileError);
}

TEST(ToolFiles, IdentifiesMapFilesByNameAndSize) {
    tbtest::TempDir dir;
    toolstest::makeSparseFile(dir / "map2.mul", 11'289'600);
    fs::create_directory(dir / "sub");
    EXPECT_EQ(tb::identifyMapFile(dir / "map2.mul")->caption, "Ilshenar");
    EXPECT_FALSE(tb::identifyMapFile(dir / "sub"));
    EXPECT_FALSE(tb::identifyMapFile(dir / "map0.mul"));
}

#include "shell/ApplicationDir.h"

#include "ScratchMount.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fs = std::filesystem;
using tbtest::readText;

namespace {

void writeText(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    tbtest::writeBytes(p, {text.begin(), text.end()});
}

// The defaults an installed copy carries beside its program.
void writeDefaults(const fs::path& programDir) {
    writeText(programDir / "tilelist.xml", "<tiles/>\r\n");
    writeText(programDir / "textures" / "tileids.lst", "$0003\r\n");
    writeText(programDir / "textures" / "coast.lst", "$0016\r\n");
    writeText(programDir / "brushes" / "Pond.brs", "0,0,$00A8\r\n");
    writeText(programDir / "brushes" / "notes.txt", "not a brush");
    writeText(programDir / "terrains" / "demo.xml", "<Terrains/>\r\n");
}

// A program folder that nobody may write to: an installed copy.
class InstalledCopy : public ::testing::Test {
protected:
    void SetUp() override {
        if (!tbtest::privateMountsAvailable())
            GTEST_SKIP() << "cannot mount a read-only folder: " << tbtest::whyNoPrivateMounts();
        program.emplace(1 << 20);
        writeDefaults(program->path());
        program->makeReadOnly();
    }
    std::optional<tbtest::ScratchMount> program;
    tbtest::TempDir home;
    fs::path userDir() const { return home / "share" / "Tolvane Brimholt"; }
};

TEST(ApplicationDir, APortableCopyKeepsItsCataloguesBesideTheProgram) {
    tbtest::TempDir program, home;
    writeDefaults(program.path());
    const tb::ApplicationDirChoice choice = tb::chooseApplicationDir(program.path(), home / "user");
    EXPECT_EQ(choice.dir, program.path());
    EXPECT_TRUE(choice.seeded.empty());
    EXPECT_FALSE(fs::exists(home / "user")) << "nothing is copied for a portable copy";
    EXPECT_TRUE(tb::isWritableFolder(program.path()));
    EXPECT_FALSE(tb::isWritableFolder(home / "missing"));
}

TEST_F(InstalledCopy, TheFirstStartSeedsTheUsersFolderWithEveryDefault) {
    EXPECT_FALSE(tb::isWritableFolder(program->path()));
    const tb::ApplicationDirChoice choice = tb::chooseApplicationDir(program->path(), userDir());
    EXPECT_EQ(choice.dir, userDir());
    EXPECT_TRUE(choice.problems.empty());
    const std::vector<std::string> expected{"textures/coast.lst", "textures/tileids.lst",
                                            "brushes/Pond.brs", "terrains/demo.xml",
                                            "tilelist.xml"};
    EXPECT_EQ(choice.seeded, expected) << "the tile list comes last: it marks a whole seeding";
    for (const std::string& file : expected)
        EXPECT_EQ(readText(userDir() / file), readText(program->path() / file)) << file;
    EXPECT_FALSE(fs::exists(userDir() / "brushes" / "notes.txt"));
}

TEST(ApplicationDir, AnInstalledCopyWithoutDefaultsStillGetsItsUsersFolder) {
    if (!tbtest::privateMountsAvailable())
        GTEST_SKIP() << "cannot mount a read-only folder: " << tbtest::whyNoPrivateMounts();
    tbtest::ScratchMount program(64 * 1024);
    program.makeReadOnly();
    tbtest::TempDir home;
    const tb::ApplicationDirChoice choice = tb::chooseApplicationDir(program.path(), home / "u");
    EXPECT_EQ(choice.dir, home / "u");
    EXPECT_TRUE(fs::is_directory(home / "u")) << "the bookmarks are written there";
}

TEST_F(InstalledCopy, LaterStartsKeepTheUsersChangesAndDeletions) {
    tb::chooseApplicationDir(program->path(), userDir());
    writeText(userDir() / "tilelist.xml", "<tiles>mine</tiles>\r\n");
    fs::remove(userDir() / "brushes" / "Pond.brs");

    const tb::ApplicationDirChoice again = tb::chooseApplicationDir(program->path(), userDir());
    EXPECT_EQ(again.dir, userDir());
    EXPECT_TRUE(again.seeded.empty());
    EXPECT_EQ(readText(userDir() / "tilelist.xml"), "<tiles>mine</tiles>\r\n");
    EXPECT_FALSE(fs::exists(userDir() / "brushes" / "Pond.brs"));
}

TEST_F(InstalledCopy, AFirstStartCutShortIsCompletedWithoutOverwriting) {
    writeText(userDir() / "brushes" / "Pond.brs", "my pond\r\n");
    const tb::ApplicationDirChoice choice = tb::chooseApplicationDir(program->path(), userDir());
    EXPECT_EQ(choice.seeded, (std::vector<std::string>{"textures/coast.lst", "textures/tileids.lst",
                                                       "terrains/demo.xml", "tilelist.xml"}));
    EXPECT_EQ(readText(userDir() / "brushes" / "Pond.brs"), "my pond\r\n");
}

TEST_F(InstalledCopy, AUserFolderThatCannotBeWrittenIsReportedFileByFile) {
    tbtest::ScratchMount locked(64 * 1024);
    locked.makeReadOnly();
    const tb::ApplicationDirChoice choice = tb::chooseApplicationDir(program->path(), locked / "u");
    EXPECT_EQ(choice.dir, locked / "u");
    EXPECT_TRUE(choice.seeded.empty());
    ASSERT_EQ(choice.problems.size(), 5u);
    EXPECT_NE(choice.problems.back().find("tilelist.xml"), std::string::npos)
        << choice.problems.back();
}

} // namespace

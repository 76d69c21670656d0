#include "core/ArtFiles.h"

#include "shell/Errors.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const char* const kNames[] = {"artidx.mul", "art.mul", "texidx.mul", "texmaps.mul"};

// A game folder whose four files hold 1, 2, 3 and 4 bytes of the value `mark`.
void makeGameDir(const fs::path& dir, unsigned char mark) {
    fs::create_directories(dir);
    for (int i = 0; i < 4; ++i)
        tbtest::writeBytes(dir / kNames[i], std::vector<unsigned char>(std::size_t(i) + 1, mark));
}

} // namespace

TEST(ArtFiles, LoadReadsTheFourFilesWhole) {
    tbtest::TempDir dir;
    makeGameDir(dir.path(), 0x11);
    tb::ArtFiles art;
    art.load(dir.path());
    EXPECT_EQ(art.artIndex, std::vector<unsigned char>(1, 0x11));
    EXPECT_EQ(art.artData, std::vector<unsigned char>(2, 0x11));
    EXPECT_EQ(art.textureIndex, std::vector<unsigned char>(3, 0x11));
    EXPECT_EQ(art.textureData, std::vector<unsigned char>(4, 0x11));
}

TEST(ArtFiles, AFailingFileIsNamedAndTheFilesBeforeItStay) {
    for (int failing = 0; failing < 4; ++failing) {
        SCOPED_TRACE(kNames[failing]);
        tbtest::TempDir dir;
        makeGameDir(dir / "old", 0x11);
        makeGameDir(dir / "new", 0x22);
        fs::remove(dir / "new" / kNames[failing]);
        // A later file missing too does not change which one is reported.
        if (failing < 3)
            fs::remove(dir / "new" / kNames[3]);

        tb::ArtFiles art;
        art.load(dir / "old");
        try {
            art.load(dir / "new");
            FAIL() << "no error";
        } catch (const tb::FileError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find((dir / "new" / kNames[failing]).string()), std::string::npos)
                << message;
        }
        const std::vector<unsigned char>* buffers[] = {&art.artIndex, &art.artData,
                                                       &art.textureIndex, &art.textureData};
        for (int i = 0; i < 4; ++i) {
            if (i < failing)
                EXPECT_EQ(*buffers[i], std::vector<unsigned char>(std::size_t(i) + 1, 0x22));
            else // neither the old folder's file nor anything else
                EXPECT_TRUE(buffers[i]->empty()) << kNames[i];
        }
    }
}

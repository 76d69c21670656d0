// tbmap tile and tbmap texture on the demo art: the PNG holds the editor's image.
#include "RunTbmap.h"

#include "core/ArtFiles.h"
#include "demo/DemoArt.h"
#include "shell/NumberText.h"

#include "TestPaths.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using clitest::runTbmap;

namespace {

class ArtCommands : public ::testing::Test {
protected:
    void SetUp() override {
        const tb::demo::DemoArtFiles demo = tb::demo::generateDemoArt();
        tbtest::writeBytes(m_dir / "artidx.mul", demo.artIndex);
        tbtest::writeBytes(m_dir / "art.mul", demo.artData);
        tbtest::writeBytes(m_dir / "texidx.mul", demo.textureIndex);
        tbtest::writeBytes(m_dir / "texmaps.mul", demo.textureData);
        m_art.load(m_dir.path());
    }

    std::string gameDir() const { return m_dir.path().string(); }
    std::string out(const std::string& name) const { return (m_dir / name).string(); }

    // The PNG at `path` decoded, compared pixel by pixel with the library's image.
    void expectPng(const std::string& path, const tb::Image15& expected) {
        const auto bytes = tbtest::readBytes(path);
        ASSERT_GT(bytes.size(), 24u);
        EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
        QImage png;
        ASSERT_TRUE(png.loadFromData(bytes.data(), int(bytes.size()), "PNG"));
        ASSERT_EQ(png.width(), expected.width);
        ASSERT_EQ(png.height(), expected.height);
        int wrong = 0;
        for (int y = 0; y < expected.height; ++y) {
            for (int x = 0; x < expected.width; ++x) {
                const tb::Rgb c = tb::rgb555ToColor(expected.at(x, y));
                wrong += png.pixel(x, y) != qRgb(c.red, c.green, c.blue);
            }
        }
        EXPECT_EQ(wrong, 0) << path;
    }

    tbtest::TempDir m_dir;
    tb::ArtFiles m_art;
};

} // namespace

TEST_F(ArtCommands, TileWritesTheEditorsLandTileSquare) {
    tb::Image15 expected;
    for (const std::string id : {"3", "$00DC", "$011d", "284"}) {
        const auto r = runTbmap({"tile", gameDir(), id, out("tile.png")});
        ASSERT_EQ(r.exitCode, 0) << id << r.err;
        ASSERT_TRUE(tb::makeLandTileImage(m_art, int(tb::strToInt(id)), expected));
        expectPng(out("tile.png"), expected);
    }
    // The corner no stored pixel covers is black; the first pixel of the diamond is not.
    QImage png(QString::fromStdString(out("tile.png")));
    EXPECT_EQ(png.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_NE(png.pixel(0, 1), qRgb(0, 0, 0));
}

TEST_F(ArtCommands, TextureWritesBothSizes) {
    tb::Image15 expected;
    for (auto [id, size] : {std::pair{"3", 64}, {"$A8", 128}, {"7", 64}}) {
        const auto r = runTbmap({"texture", gameDir(), id, out("texture.png")});
        ASSERT_EQ(r.exitCode, 0) << id << r.err;
        ASSERT_TRUE(tb::makeTextureImage(m_art, int(tb::strToInt(id)), expected));
        ASSERT_EQ(expected.width, size);
        expectPng(out("texture.png"), expected);
    }
}

TEST_F(ArtCommands, NoImageFailsNamingTheIdAndWhyAndWritesNothing) {
    // Tiles 7 and 8 have art in the demo files but the editor never draws them as land.
    const std::pair<std::string, std::string> tiles[] = {
        {"7", "no land tile 7 ($0007) in \"" + gameDir() +
                  "\": the editor shows no land tile of this id"},
        {"8", "no land tile 8 ($0008)"},
        {"0",
         "no land tile 0 ($0000) in \"" + gameDir() + "\": the land art index marks it as missing"},
        {"$3FFF", "no land tile 16383 ($3FFF)"},
        {"65535", "the land art index ends before it (16384 entries)"}};
    for (const auto& [id, message] : tiles) {
        const auto r = runTbmap({"tile", gameDir(), id, out("none.png")});
        EXPECT_EQ(r.exitCode, 1) << id;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out("none.png"))) << id;
    }
    for (const std::string id : {"8", "5", "0", "$3FFF"}) {
        const auto r = runTbmap({"texture", gameDir(), id, out("none.png")});
        EXPECT_EQ(r.exitCode, 1) << id;
        EXPECT_EQ(r.err.rfind("tbmap: no texture ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(gameDir()), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out("none.png"))) << id;
    }
}

TEST_F(ArtCommands, BadIdsFoldersAndCallsAreRefused) {
    // Ids beyond 16 bits would wrap onto another tile.
    for (const std::string id : {"65536", "-1", "$10003"}) {
        const auto r = runTbmap({"tile", gameDir(), id, out("x.png")});
        EXPECT_EQ(r.exitCode, 1) << id;
        EXPECT_FALSE(fs::exists(out("x.png"))) << id;
    }
    const auto text = runTbmap({"texture", gameDir(), "grass", out("x.png")});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_NE(text.err.find("'grass' is not a valid integer value"), std::string::npos);

    const auto missing = runTbmap({"tile", out("no-such-folder"), "3", out("x.png")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.rfind("tbmap: ", 0), 0u) << missing.err;
    EXPECT_FALSE(fs::exists(out("x.png")));

    EXPECT_EQ(runTbmap({"tile", gameDir(), "3"}).exitCode, 2);
    const auto usage = runTbmap({"texture", gameDir()});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.err, "usage: tbmap texture GAMEDIR ID OUT.png\n");
}

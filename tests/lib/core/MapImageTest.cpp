#include "core/MapImage.h"

#include "shell/Errors.h"

#include "RecordedProgress.h"
#include "ScratchMount.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;
using tb::MapCell;
using tb::MapImage;

namespace {

std::vector<unsigned char> randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<unsigned char> bytes(size);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(rng());
    return bytes;
}

// A file of `size` bytes that reads as zeros, made without writing them (sparse), with
// `tail` written at its very end.
void makeSparseFile(const fs::path& path, std::uintmax_t size,
                    const std::vector<unsigned char>& tail = {}) {
    { std::ofstream(path, std::ios::binary); }
    fs::resize_file(path, size);
    if (!tail.empty()) {
        std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(std::streamoff(size - tail.size()));
        f.write(reinterpret_cast<const char*>(tail.data()), std::streamsize(tail.size()));
        ASSERT_TRUE(f.good());
    }
}

constexpr std::size_t kTokunoSize = 6'421'156; // map4.mul, 1448 x 1448

std::vector<fs::path> filesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
        files.push_back(e.path().filename());
    return files;
}

} // namespace

TEST(MapImageLoad, IdentifiesTheFileByNameAndSize) {
    tbtest::TempDir dir;
    makeSparseFile(dir / "MAP0.MUL", 77'070'336);
    const MapImage map = MapImage::load(dir / "MAP0.MUL");
    ASSERT_TRUE(map.hasGeometry());
    EXPECT_EQ(map.variant()->caption, "Felucca+Trammel");
    EXPECT_EQ(map.width(), 6144);
    EXPECT_EQ(map.height(), 4096);
    EXPECT_EQ(map.size(), 77'070'336u);
    EXPECT_EQ(map.cell(6143, 4095), MapCell{});
}

TEST(MapImageLoad, AFileOfUnknownSizeIsHeldButHasNoCells) {
    tbtest::TempDir dir;
    const auto bytes = randomBytes(1000, 1);
    tbtest::writeBytes(dir / "map0.mul", bytes);
    MapImage map = MapImage::load(dir / "map0.mul");
    EXPECT_FALSE(map.hasGeometry());
    EXPECT_EQ(map.width(), 0);
    EXPECT_EQ(map.height(), 0);
    EXPECT_FALSE(map.contains(0, 0));
    EXPECT_THROW(map.cell(0, 0), std::out_of_range);
    EXPECT_THROW(map.setCell(0, 0, MapCell{1, 1}), std::out_of_range);
    EXPECT_EQ(map.bytes(), bytes);
    // It still saves back unchanged.
    map.save(dir / "copy.mul");
    EXPECT_EQ(tbtest::readBytes(dir / "copy.mul"), bytes);
}

TEST(MapImageLoad, AKnownSizeUnderAnotherMapNameHasNoCells) {
    tbtest::TempDir dir;
    makeSparseFile(dir / "map1.mul", 77'070'336);
    const MapImage map = MapImage::load(dir / "map1.mul");
    EXPECT_FALSE(map.hasGeometry());
    EXPECT_EQ(map.size(), 77'070'336u);
    EXPECT_THROW(map.cell(0, 0), std::out_of_range);
}

TEST(MapImageLoad, ABufferTooShortForItsVariantGetsNoGeometry) {
    const auto v = tb::identifyMapVariant("map4.mul", kTokunoSize);
    ASSERT_TRUE(v);
    const MapImage map(std::vector<unsigned char>(kTokunoSize - 1), v);
    EXPECT_FALSE(map.hasGeometry());
    EXPECT_THROW(map.cell(1447, 1447), std::out_of_range);
}

TEST(MapImageLoad, AMissingFileOrAFolderThrowsFileErrorNamingIt) {
    tbtest::TempDir dir;
    const fs::path missing = dir / "map0.mul";
    try {
        MapImage::load(missing);
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
    }
    fs::create_directory(dir / "map2.mul");
    EXPECT_THROW(MapImage::load(dir / "map2.mul"), tb::FileError);
}

TEST(MapImageCells, ReadAndWriteTheThreeBytesAtTheCellOffset) {
    const auto v = tb::identifyMapVariant("map4.mul", kTokunoSize);
    ASSERT_TRUE(v);
    auto bytes = randomBytes(kTokunoSize, 2);
    const std::int64_t at = tb::cellOffset(1000, 777, 181);
    bytes[at] = 0x34;
    bytes[at + 1] = 0x12;
    bytes[at + 2] = 0xFB;
    MapImage map(bytes, v);
    EXPECT_EQ(map.cell(1000, 777), (MapCell{0x1234, -5}));
    EXPECT_EQ(map.cellUnchecked(1000, 777), (MapCell{0x1234, -5}));

    map.setCell(1000, 777, MapCell{0xFFFE, 127});
    EXPECT_EQ(map.bytes()[at], 0xFE);
    EXPECT_EQ(map.bytes()[at + 1], 0xFF);
    EXPECT_EQ(map.bytes()[at + 2], 127);
    map.setCell(1000, 777, MapCell{1, -128});
    EXPECT_EQ(map.cell(1000, 777), (MapCell{1, -128}));
    // Nothing but those three bytes changed.
    bytes[at] = 1;
    bytes[at + 1] = 0;
    bytes[at + 2] = 0x80;
    EXPECT_EQ(map.bytes(), bytes);
}

TEST(MapImageCells, CellsOutsideTheMapThrowAndChangeNothing) {
    const auto v = tb::identifyMapVariant("map4.mul", kTokunoSize);
    const auto bytes = randomBytes(kTokunoSize, 3);
    MapImage map(bytes, v);
    for (auto [x, y] : {std::pair{-1, 0},
                        {0, -1},
                        {1448, 0},
                        {0, 1448},
                        {1448, 1448},
                        {INT32_MIN, 5},
                        {5, INT32_MAX}}) {
        EXPECT_FALSE(map.contains(x, y));
        EXPECT_THROW(map.cell(x, y), std::out_of_range) << x << ", " << y;
        EXPECT_THROW(map.setCell(x, y, MapCell{7, 7}), std::out_of_range) << x << ", " << y;
    }
    EXPECT_NO_THROW(map.cell(1447, 1447));
    EXPECT_NO_THROW(map.cell(0, 0));
    EXPECT_EQ(map.bytes(), bytes);
}

TEST(MapImageSave, UnchangedCellsSaveByteIdenticalBlockHeadersIncluded) {
    tbtest::TempDir dir;
    const auto bytes = randomBytes(kTokunoSize, 4);
    tbtest::writeBytes(dir / "map4.mul", bytes);
    MapImage map = MapImage::load(dir / "map4.mul");
    ASSERT_TRUE(map.hasGeometry());
    for (int x = 0; x < map.width(); x += 13)
        for (int y = 0; y < map.height(); y += 7)
            map.setCell(x, y, map.cell(x, y));
    map.save(dir / "map4.mul");
    EXPECT_EQ(tbtest::readBytes(dir / "map4.mul"), bytes);
}

TEST(MapImageSave, AWrittenCellLandsAtItsOffsetInTheSavedFile) {
    tbtest::TempDir dir;
    auto bytes = randomBytes(11'289'600, 5);
    tbtest::writeBytes(dir / "map2.mul", bytes);
    MapImage map = MapImage::load(dir / "map2.mul");
    ASSERT_EQ(map.height(), 1600);
    map.setCell(2303, 1599, MapCell{0xABCD, -1});
    map.save(dir / "map2.mul");
    const std::int64_t at = tb::cellOffset(2303, 1599, 200);
    ASSERT_EQ(at, 11'289'600 - 3);
    bytes[at] = 0xCD;
    bytes[at + 1] = 0xAB;
    bytes[at + 2] = 0xFF;
    EXPECT_EQ(tbtest::readBytes(dir / "map2.mul"), bytes);
}

TEST(MapImageSave, TheUnknownVersionKeepsItsTailUnchanged) {
    tbtest::TempDir dir;
    const fs::path path = dir / "map0.mul";
    const auto tail = randomBytes(38'591, 6);
    makeSparseFile(path, 77'108'927, tail);
    MapImage map = MapImage::load(path);
    ASSERT_TRUE(map.hasGeometry());
    EXPECT_EQ(map.variant()->caption, "Felucca+Trammel (unknown version)");
    EXPECT_EQ(map.width(), 6144);
    EXPECT_EQ(map.height(), 4096);
    // The last addressed cell ends just before the tail.
    map.setCell(6143, 4095, MapCell{0x0102, 3});
    EXPECT_EQ(map.cell(6143, 4095), (MapCell{0x0102, 3}));
    map.save(path);

    EXPECT_EQ(fs::file_size(path), 77'108'927u);
    std::ifstream in(path, std::ios::binary);
    in.seekg(77'070'336 - 3);
    std::vector<unsigned char> end(3 + tail.size());
    in.read(reinterpret_cast<char*>(end.data()), std::streamsize(end.size()));
    ASSERT_TRUE(in.good());
    EXPECT_EQ(end[0], 0x02);
    EXPECT_EQ(end[1], 0x01);
    EXPECT_EQ(end[2], 3);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), end.begin() + 3));
}

TEST(MapImageSave, IntoAMissingFolderThrowsFileErrorNamingThePath) {
    tbtest::TempDir dir;
    const MapImage map(randomBytes(1000, 7), std::nullopt);
    const fs::path target = dir / "no such folder" / "map0.mul";
    try {
        map.save(target);
        FAIL() << "no error";
    } catch (const tb::FileError& e) {
        EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(dir / "no such folder"));
}

TEST(MapImageSave, OverAFolderFailsAndLeavesTheFolder) {
    tbtest::TempDir dir;
    fs::create_directories(dir / "map0.mul" / "inside");
    const MapImage map(randomBytes(1000, 8), std::nullopt);
    EXPECT_THROW(map.save(dir / "map0.mul"), tb::FileError);
    EXPECT_TRUE(fs::is_directory(dir / "map0.mul" / "inside"));
    EXPECT_EQ(filesIn(dir.path()), std::vector<fs::path>{"map0.mul"}); // no temporary left
}

TEST(MapImageSave, IntoAReadOnlyFolderLeavesTheOldFile) {
    // A read-only mount binds root too, where a folder's mode would not.
    if (!tbtest::privateMountsAvailable())
        GTEST_SKIP() << "cannot mount a read-only folder: " << tbtest::whyNoPrivateMounts();
    tbtest::ScratchMount folder(64 * 1024);
    const auto old = randomBytes(500, 9);
    tbtest::writeBytes(folder / "map0.mul", old);
    folder.makeReadOnly();
    const MapImage map(randomBytes(1000, 10), std::nullopt);
    EXPECT_THROW(map.save(folder / "map0.mul"), tb::FileError);
    EXPECT_EQ(tbtest::readBytes(folder / "map0.mul"), old);
}

// A write that fails half way (here: the file size limit, which binds root as well)
// leaves the old file whole and no temporary beside it.
TEST(MapImageSave, AFailedWriteLeavesTheOldFileIntact) {
    tbtest::TempDir dir;
    const fs::path path = dir / "map4.mul";
    const auto old = randomBytes(kTokunoSize, 11);
    tbtest::writeBytes(path, old);
    MapImage map = MapImage::load(path);
    map.setCell(5, 5, MapCell{0x4444, 44});

    bool threw = false;
    std::string message;
    try {
        const tbtest::FileSizeLimit limit(64 * 1024);
        map.save(path);
    } catch (const tb::FileError& e) {
        threw = true;
        message = e.what();
    }

    EXPECT_TRUE(threw);
    EXPECT_NE(message.find(path.string()), std::string::npos) << message;
    EXPECT_EQ(tbtest::readBytes(path), old);
    EXPECT_EQ(filesIn(dir.path()), std::vector<fs::path>{"map4.mul"});
    EXPECT_EQ(map.cell(5, 5), (MapCell{0x4444, 44})); // the image keeps the change
}

// Loading and saving report the bytes done and stop between pieces: a stopped save leaves
// the old file whole and nothing beside it.
TEST(MapImageSave, AStoppedSaveLeavesTheOldFileAndAStoppedLoadGivesNothing) {
    tbtest::TempDir dir;
    makeSparseFile(dir / "map0.mul", 77'070'336);
    tbtest::RecordedProgress loading(2);
    EXPECT_THROW(MapImage::load(dir / "map0.mul", loading), tb::OperationStopped);
    ASSERT_EQ(loading.steps.size(), 2u);
    EXPECT_EQ(loading.steps[0].caption, tb::kMapLoadText);
    EXPECT_EQ(loading.steps[1].total, 77'070'336);

    const fs::path path = dir / "map4.mul";
    const auto old = randomBytes(kTokunoSize, 12);
    tbtest::writeBytes(path, old);
    MapImage map = MapImage::load(path);
    map.setCell(5, 5, MapCell{0x4444, 44});
    tbtest::RecordedProgress saving(1);
    try {
        map.save(path, saving);
        FAIL() << "expected a stop";
    } catch (const tb::OperationStopped& e) {
        EXPECT_STREQ(e.what(), tb::kMapSaveStoppedMessage);
    }
    EXPECT_EQ(saving.steps.back().done, std::int64_t(kTokunoSize));
    EXPECT_EQ(tbtest::readBytes(path), old);
    EXPECT_EQ(tbtest::entriesIn(dir.path()), 2u);
}

// Maps in UOP containers: hand-made containers (two tables in shuffled order, a zlib entry,
// an entry header, an entry that is no part of the map) read cell for cell like their .mul
// twins, conversions both ways give back the original bytes, and bad containers are refused
// with an error naming the file, writing nothing.
#include "core/MapConvert.h"
#include "core/MapFile.h"
#include "core/MapFileReader.h"
#include "core/MapImage.h"
#include "core/UopContainer.h"
#include "core/UopNames.h"
#include "shell/Errors.h"

#include "TestPaths.h"
#include "UopFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

namespace fs = std::filesystem;
using namespace uoptest;

namespace {

constexpr std::size_t kIlshenarSize = 11'289'600; // 57,600 blocks: 14 whole entries + 256 blocks
constexpr std::size_t kEntryBytes = 802'816;

std::uint32_t adlerOf(const unsigned char* p, std::size_t n) {
    return std::uint32_t(adler32(adler32(0, nullptr, 0), p, uInt(n)));
}

void expectFileError(const std::function<void()>& run, const fs::path& file, const char* reason) {
    try {
        run();
        ADD_FAILURE() << "no error for " << reason;
    } catch (const tb::FileError& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find(file.string()), std::string::npos) << text;
        EXPECT_NE(text.find(reason), std::string::npos) << text;
    }
}

} // namespace

TEST(UopNames, HashesOfTheClientsEntryNames) {
    EXPECT_EQ(tb::uopNameHash("build/map0legacymul/00000000.dat"), 0xDBB7AFA433A3764Bull);
    EXPECT_EQ(tb::uopNameHash(tb::uopMapEntryName(0, 1)), 0xAB25A3A10840B756ull);
    EXPECT_EQ(tb::uopNameHash(tb::uopArtEntryName(0)), 0x99361F7D3A53AEA8ull);
    // Names are hashed lower-cased.
    EXPECT_EQ(tb::uopNameHash("BUILD/Map0LegacyMUL/00000000.DAT"), 0xDBB7AFA433A3764Bull);
}

// Answers of the published lookup3 reference code (hashlittle2, both seeds 0, taken as
// (b << 32) | c) for names of whole 12-byte blocks, whose last block takes the final mix
// rather than the loop's, and for the empty name, which takes neither.
TEST(UopNames, HashesOfNamesOfWholeBlocksAndOfTheEmptyName) {
    EXPECT_EQ(tb::uopNameHash(""), 0xDEADBEEFDEADBEEFull);
    EXPECT_EQ(tb::uopNameHash("abcdefghijkl"), 0x75B50EC04012F87Bull);
    EXPECT_EQ(tb::uopNameHash("build/map0legacymul/0000"), 0xDC339F01F9D1E3CBull);
    EXPECT_EQ(tb::uopNameHash("build/map0legacymul/00000000.dat.bak"), 0xDCF0D2D4BF5F1800ull);
}

TEST(UopMapFile, NamesFacetsAndPaddedIdentification) {
    EXPECT_TRUE(tb::isAcceptedMapFileName("/uo/map4LegacyMUL.uop"));
    EXPECT_TRUE(tb::isAcceptedMapFileName("MAP1XLEGACYMUL.UOP"));
    EXPECT_TRUE(tb::isAcceptedMapFileName("map5.mul"));
    EXPECT_FALSE(tb::isAcceptedMapFileName("map6LegacyMUL.uop"));
    EXPECT_FALSE(tb::isAcceptedMapFileName("artLegacyMUL.uop"));
    EXPECT_EQ(tb::facetFromFileName("c:\\uo\\map0xLegacyMUL.uop"), 0);
    EXPECT_EQ(tb::facetFromFileName("mymap.uop"), std::nullopt);
    // Tokuno: 32,761 blocks exactly, or padded to 32,768; nothing in between.
    EXPECT_EQ(tb::identifyUopMapVariant(4, 6'421'156)->caption, "Tokuno");
    EXPECT_EQ(tb::identifyUopMapVariant(4, 32'768 * 196)->caption, "Tokuno");
    EXPECT_FALSE(tb::identifyUopMapVariant(4, 32'762 * 196));
    EXPECT_FALSE(tb::identifyUopMapVariant(3, 32'768 * 196));
    // The unknown version's tail is carried, exactly.
    EXPECT_EQ(tb::identifyUopMapVariant(0, 77'108'927)->caption,
              "Felucca+Trammel (unknown version)");
}

// Two tables, the second in the file listed first, entries shuffled between them; entry 5
// deflated, entry 9 behind an entry header, and an entry that is no part of the map.
TEST(UopMapImage, AHandMadeContainerReadsLikeItsMulTwinAndSavesItsParts) {
    tbtest::TempDir dir;
    const Bytes map = randomBytes(kIlshenarSize, 1);
    std::vector<HandEntry> entries;
    for (std::uint32_t i = 0; i < 15; ++i)
        entries.push_back(mapEntry(map, 2, i));
    entries[5].zlib = true;
    entries[9].entryHeader = {1, 2, 3, 4, 5, 6};
    const HandEntry foreign =
        handEntry(tb::uopNameHash("build/map2legacymul/notes.txt"), {'h', 'i'}, true);
    entries.push_back(foreign);
    std::shuffle(entries.begin(), entries.end(), std::mt19937(7));
    const fs::path path = dir / "map2LegacyMUL.uop";
    tbtest::writeBytes(path, buildContainer({{entries.begin(), entries.begin() + 9},
                                             {entries.begin() + 9, entries.end()}}));

    EXPECT_EQ(tb::identifyMapFile(path)->caption, "Ilshenar");
    tb::MapImage image = tb::MapImage::load(path);
    EXPECT_EQ(image.format(), tb::MapFileFormat::Uop);
    EXPECT_EQ(image.width(), 2304);
    EXPECT_TRUE(image.bytes() == map);

    // Streamed reads cross entries, the deflated one included, and stop at the map's end.
    {
        const tb::MapFileReader reader(path);
        EXPECT_EQ(reader.size(), std::int64_t(kIlshenarSize));
        Bytes part(3 * kEntryBytes);
        reader.readAt(4 * kEntryBytes + 100, part.data(), part.size());
        EXPECT_TRUE(std::equal(part.begin(), part.end(), map.begin() + 4 * kEntryBytes + 100));
        EXPECT_THROW(reader.readAt(std::int64_t(kIlshenarSize) - 2, part.data(), 3), tb::FileError);
    } // closed before the save: Windows refuses to replace a file that is open

    // Saved with a changed cell: the cell moves, the entry header and the foreign entry stay.
    image.setCell(2303, 1599, tb::MapCell{0x1234, -5});
    image.save(path);
    const tb::MapImage again = tb::MapImage::load(path);
    EXPECT_EQ(again.cell(2303, 1599), (tb::MapCell{0x1234, -5}));
    EXPECT_EQ(again.cell(17, 1200), image.cell(17, 1200));
    const tb::FileReader file(path);
    const tb::UopContainer container(file);
    EXPECT_EQ(container.tableCount(), 2u);
    const tb::UopEntry* kept = container.find(foreign.hash);
    ASSERT_TRUE(kept);
    Bytes text(2);
    container.readEntry(*kept, text.data());
    EXPECT_EQ(text, foreign.bytes);
    const tb::UopEntry* withHeader = container.find(tb::uopNameHash(tb::uopMapEntryName(2, 9)));
    ASSERT_TRUE(withHeader);
    EXPECT_EQ(withHeader->headerLength, 6u);

    // And back to a .mul: the map's bytes with the changed cell.
    tb::convertMapFile(path, dir / "map2.mul");
    EXPECT_TRUE(tbtest::readBytes(dir / "map2.mul") == again.bytes());
}

TEST(UopMapImage, MulToUopToMulIsByteIdenticalWithAShortLastEntry) {
    tbtest::TempDir dir;
    const Bytes map = randomBytes(kIlshenarSize, 2);
    tbtest::writeBytes(dir / "map2.mul", map);
    tb::convertMapFile(dir / "map2.mul", dir / "map2LegacyMUL.uop");

    {
        const tb::FileReader file(dir / "map2LegacyMUL.uop");
        const tb::UopContainer container(file);
        EXPECT_EQ(container.firstTableOffset(), 512);
        EXPECT_EQ(container.tableCapacity(), 100u);
        ASSERT_EQ(container.entries().size(), 15u);
        for (std::uint32_t i = 0; i < 15; ++i) {
            const tb::UopEntry* e = container.find(tb::uopNameHash(tb::uopMapEntryName(2, i)));
            ASSERT_TRUE(e) << i;
            const std::size_t length = i < 14 ? kEntryBytes : 256 * 196;
            EXPECT_EQ(e->length, length) << i;
            EXPECT_EQ(e->flags, 0) << i;
            EXPECT_EQ(e->adler32, adlerOf(map.data() + i * kEntryBytes, length)) << i;
        }
    } // closed before the save below: Windows refuses to replace a file that is open

    fs::create_directory(dir / "copy");
    tb::convertMapFile(dir / "map2LegacyMUL.uop", dir / "copy" / "map2.mul");
    EXPECT_TRUE(tbtest::readBytes(dir / "copy" / "map2.mul") == map);
    // What the converter wrote is what a save of it writes.
    const Bytes written = tbtest::readBytes(dir / "map2LegacyMUL.uop");
    tb::MapImage::load(dir / "map2LegacyMUL.uop").save(dir / "map2LegacyMUL.uop");
    EXPECT_TRUE(tbtest::readBytes(dir / "map2LegacyMUL.uop") == written);
}

TEST(UopMapImage, SaveKeepsTheFormatItLoaded) {
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "map2.mul", randomBytes(kIlshenarSize, 3));
    tb::convertMapFile(dir / "map2.mul", dir / "map2LegacyMUL.uop");
    expectFileError([&] { tb::MapImage::load(dir / "map2.mul").save(dir / "map2xLegacyMUL.uop"); },
                    dir / "map2xLegacyMUL.uop", "read from a .mul");
    expectFileError([&] { tb::MapImage::load(dir / "map2LegacyMUL.uop").save(dir / "map3.mul"); },
                    dir / "map3.mul", "read from a UOP container");
    EXPECT_FALSE(fs::exists(dir / "map2xLegacyMUL.uop"));
    EXPECT_FALSE(fs::exists(dir / "map3.mul"));

    // Saved under another facet's name, the map is found under that name.
    const tb::MapImage image = tb::MapImage::load(dir / "map2LegacyMUL.uop");
    image.save(dir / "map5LegacyMUL.uop");
    EXPECT_TRUE(tb::MapImage::load(dir / "map5LegacyMUL.uop").bytes() == image.bytes());
}

// Each fault, made in an otherwise good container of a three-entry map, is refused by the
// loader and the converter with the file's name and the reason; nothing is written.
TEST(UopMapImage, BadContainersAreRefusedNamingTheFile) {
    const Bytes map = randomBytes(2 * kEntryBytes + 1960, 4);
    auto entries = [&] {
        return std::vector<HandEntry>{mapEntry(map, 2, 0), mapEntry(map, 2, 1),
                                      mapEntry(map, 2, 2)};
    };
    const Bytes good = buildContainer({entries()});
    auto u64At = [](Bytes& b, std::size_t at, std::uint64_t v) { put(b, at, v, 8); };
    struct Case {
        const char* reason;
        std::function<Bytes()> make;
        const char* convertReason = nullptr; // when a conversion refuses it for another reason
    };
    const Case cases[] = {
        {"no UOP container",
         [&] {
             Bytes b = good;
             b[2] = 'Q';
             return b;
         }},
        {"loops back",
         [&] {
             auto t = entries();
             Bytes b = buildContainer({{t[0]}, {t[1], t[2]}});
             u64At(b, 40 + 4, 40); // the first table in the file points at itself
             return b;
         }},
        {"lies outside the file",
         [&] {
             Bytes b = good;
             u64At(b, 12, b.size() - 4);
             return b;
         }},
        {"past the end of the file",
         [&] {
             Bytes b = good;
             u64At(b, 40 + 12 + 34, b.size() - 100); // entry 1's bytes
             return b;
         }},
        {"00000001.dat is missing",
         [&] {
             auto t = entries();
             return buildContainer({{t[0], t[2]}});
         }},
        {"two entries have the name hash",
         [&] {
             auto t = entries();
             t.push_back(handEntry(t[1].hash, {9}));
             return buildContainer({{t[0], t[1], t[2]}, {t[3]}});
         }},
        {"does not inflate to its stated length",
         [&] {
             auto t = entries();
             t[2].zlib = true;
             t[2].statedLength = std::int64_t(t[2].bytes.size()) + 1;
             return buildContainer({t});
         },
         "it is no known map"},
        {"holds 1960 bytes; every map entry but the last holds 4096 blocks",
         [&] {
             auto t = entries();
             std::swap(t[1].hash, t[2].hash); // the short entry in the middle
             return buildContainer({t});
         }},
    };
    for (const Case& c : cases) {
        tbtest::TempDir dir;
        const fs::path path = dir / "map2LegacyMUL.uop";
        tbtest::writeBytes(path, c.make());
        expectFileError([&] { tb::MapImage::load(path); }, path, c.reason);
        expectFileError([&] { tb::convertMapFile(path, dir / "map2.mul"); }, path,
                        c.convertReason ? c.convertReason : c.reason);
        EXPECT_FALSE(fs::exists(dir / "map2.mul")) << c.reason;
    }

    // A container whose name holds no facet needs one given.
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "facet.uop", good);
    expectFileError([&] { tb::MapImage::load(dir / "facet.uop"); }, dir / "facet.uop",
                    "no facet digit");
    expectFileError([&] { tb::convertMapFile(dir / "facet.uop", dir / "out.mul"); },
                    dir / "facet.uop", "no facet digit");
    expectFileError([&] { tb::convertMapFile(dir / "out.mul", dir / "new.uop"); }, dir / "new.uop",
                    "no facet digit");
    // Given one, it is read, but a map of no known size is not converted.
    expectFileError([&] { tb::convertMapFile(dir / "facet.uop", dir / "map2.mul", 2); },
                    dir / "facet.uop", "no map of facet 2 holds 1607592 bytes");
    EXPECT_FALSE(fs::exists(dir / "out.mul"));
    EXPECT_FALSE(fs::exists(dir / "map2.mul"));
}

// The padded sample that another tool wrote: read cell for cell like its .mul twin, saved
// back byte for byte, converted back to the twin.
TEST(UopMapImage, ThePaddedSampleReadsAndSavesBackUnchanged) {
    const fs::path real = tbtest::realDataDir();
    if (real.empty() || !fs::exists(real / "uop" / "map4LegacyMUL.uop"))
        GTEST_SKIP() << "real-data/uop/ is not available";
    tbtest::TempDir dir;
    const Bytes sample = tbtest::readBytes(real / "uop" / "map4LegacyMUL.uop");
    const Bytes twin = tbtest::readBytes(real / "uop" / "map4.mul");

    EXPECT_EQ(tb::identifyMapFile(real / "uop" / "map4LegacyMUL.uop")->caption, "Tokuno");
    tb::MapImage image = tb::MapImage::load(real / "uop" / "map4LegacyMUL.uop");
    const tb::MapImage mul = tb::MapImage::load(real / "uop" / "map4.mul");
    ASSERT_TRUE(image.hasGeometry());
    for (int x = 0; x < 1448; ++x)
        for (int y = 0; y < 1448; ++y)
            ASSERT_EQ(image.cell(x, y), mul.cell(x, y)) << x << ", " << y;
    EXPECT_TRUE(image.bytes() == twin); // block headers too; the padding is no part of it

    image.save(dir / "map4LegacyMUL.uop");
    EXPECT_TRUE(tbtest::readBytes(dir / "map4LegacyMUL.uop") == sample);
    tb::convertMapFile(real / "uop" / "map4LegacyMUL.uop", dir / "map4.mul");
    EXPECT_TRUE(tbtest::readBytes(dir / "map4.mul") == twin);

    // A changed cell lands in its entry; the padded last entry keeps its length.
    image.setCell(1447, 1447, tb::MapCell{0x0BAD, 7});
    image.save(dir / "map4LegacyMUL.uop");
    EXPECT_EQ(fs::file_size(dir / "map4LegacyMUL.uop"), sample.size());
    EXPECT_EQ(tb::MapImage::load(dir / "map4LegacyMUL.uop").cell(1447, 1447),
              (tb::MapCell{0x0BAD, 7}));
}

// Map enlargement and map copy on UOP containers: the same cells as on .mul files, a
// container written back in its own layout, and a failed copy that leaves it as it was.
#include "tools/MapCopy.h"
#include "tools/MapEnlarge.h"

#include "MapFixtures.h"
#include "TestPaths.h"
#include "UopFixtures.h"

#include "core/MapConvert.h"
#include "core/MapFile.h"
#include "core/MapImage.h"
#include "core/UopContainer.h"
#include "shell/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;
using namespace toolstest;

namespace {

constexpr std::size_t kEntryBytes = 802'816;

// The entry of `container` holding map entry `index` of facet `facet`.
const tb::UopEntry& mapEntryOf(const tb::UopContainer& container, int facet, std::uint32_t index) {
    const tb::UopEntry* e = container.find(tb::uopNameHash(tb::uopMapEntryName(facet, index)));
    if (!e)
        throw std::runtime_error("no map entry " + std::to_string(index));
    return *e;
}

} // namespace

// A container source enlarged into a container gives, converted back, the very bytes of the
// .mul enlargement; the new container's 112 entries fill two tables, checksums included.
TEST(UopTools, EnlargingAContainerMatchesEnlargingItsMul) {
    tbtest::TempDir dir;
    tbtest::writeBytes(dir / "map2.mul", patternMap(variantNamed("map2.mul", "2304x1600"), 5));
    tb::convertMapFile(dir / "map2.mul", dir / "map2LegacyMUL.uop");
    EXPECT_STREQ(tb::enlargedMapDefaultName(dir / "map2LegacyMUL.uop"), "map0LegacyMUL.uop");

    tb::enlargeMap(dir / "map2.mul", dir / "map0.mul");
    tb::enlargeMap(dir / "map2LegacyMUL.uop", dir / "map0xLegacyMUL.uop");
    EXPECT_EQ(tb::identifyMapFile(dir / "map0xLegacyMUL.uop")->caption, "Mondains Legacy");
    fs::create_directory(dir / "check");
    tb::convertMapFile(dir / "map0xLegacyMUL.uop", dir / "check" / "map0.mul");
    const auto expected = readFile(dir / "map0.mul");
    EXPECT_TRUE(readFile(dir / "check" / "map0.mul") == expected);

    const tb::FileReader file(dir / "map0xLegacyMUL.uop");
    const tb::UopContainer container(file);
    EXPECT_EQ(container.tableCount(), 2u);
    for (std::uint32_t i : {0u, 57u, 111u}) {
        const tb::UopEntry& e = mapEntryOf(container, 0, i);
        EXPECT_EQ(e.adler32, adler32(adler32(0, nullptr, 0), expected.data() + i * kEntryBytes,
                                     uInt(kEntryBytes)))
            << i;
    }
}

// Copying into a container whose last entry is padded: the cells land, the other cells
// stay, and the last entry keeps its length and its zero padding.
TEST(UopTools, CopyIntoAPaddedContainerKeepsItsLayout) {
    tbtest::TempDir dir;
    const auto source = patternMap(variantNamed("map2.mul", "2304x1600"), 6);
    tbtest::writeBytes(dir / "map2.mul", source);
    auto tokuno = patternMap(variantNamed("map4.mul", "1448x1448"), 7);
    std::vector<uoptest::HandEntry> entries;
    for (std::uint32_t i = 0; i < 8; ++i)
        entries.push_back(uoptest::mapEntry(tokuno, 4, i));
    entries.back().bytes.resize(kEntryBytes, 0); // padded to a whole entry, as some tools do
    const fs::path dest = dir / "map4LegacyMUL.uop";
    tbtest::writeBytes(dest, uoptest::buildContainer({entries}));

    const tb::CopyRect rect{100, 200, 131, 215, 1400, 1400};
    tb::copyMapCells(dir / "map2.mul", rect, dest);
    for (int x = rect.x1; x <= rect.x2; ++x)
        for (int y = rect.y1; y <= rect.y2; ++y)
            setCellIn(tokuno, x + rect.dx - rect.x1, y + rect.dy - rect.y1, 181,
                      cellIn(source, x, y, 200));
    const tb::MapImage after = tb::MapImage::load(dest);
    EXPECT_TRUE(after.bytes() == tokuno);
    const tb::FileReader file(dest);
    const tb::UopContainer container(file);
    const tb::UopEntry& last = mapEntryOf(container, 4, 7);
    ASSERT_EQ(last.length, kEntryBytes);
    std::vector<unsigned char> lastBytes(kEntryBytes);
    container.readEntry(last, lastBytes.data());
    const std::size_t mapPart = tokuno.size() - 7 * kEntryBytes;
    EXPECT_TRUE(std::equal(lastBytes.begin(), lastBytes.begin() + std::ptrdiff_t(mapPart),
                           tokuno.begin() + 7 * std::ptrdiff_t(kEntryBytes)));
    EXPECT_TRUE(std::all_of(lastBytes.begin() + std::ptrdiff_t(mapPart), lastBytes.end(),
                            [](unsigned char b) { return b == 0; }));
}

// A source container whose deflated entry is damaged is identified by its tables but fails
// when read: the destination container stays byte for byte as it was.
TEST(UopTools, AFailedCopyLeavesTheDestinationContainerAsItWas) {
    tbtest::TempDir dir;
    const auto ilshenar = patternMap(variantNamed("map2.mul", "2304x1600"), 8);
    std::vector<uoptest::HandEntry> entries;
    for (std::uint32_t i = 0; i < 15; ++i)
        entries.push_back(uoptest::mapEntry(ilshenar, 2, i));
    entries[0].zlib = true;
    auto bytes = uoptest::buildContainer({entries});
    {
        tbtest::writeBytes(dir / "map2LegacyMUL.uop", bytes);
        const tb::FileReader file(dir / "map2LegacyMUL.uop");
        const tb::UopContainer container(file);
        const tb::UopEntry& first = mapEntryOf(container, 2, 0);
        for (std::size_t i = 10; i < 40; ++i)
            bytes[std::size_t(first.bytesOffset()) + i] ^= 0xA5;
    }
    tbtest::writeBytes(dir / "map2LegacyMUL.uop", bytes);
    ASSERT_TRUE(tb::identifyMapFile(dir / "map2LegacyMUL.uop"));

    tbtest::writeBytes(dir / "map4.mul", patternMap(variantNamed("map4.mul", "1448x1448"), 9));
    tb::convertMapFile(dir / "map4.mul", dir / "map4LegacyMUL.uop");
    const auto before = readFile(dir / "map4LegacyMUL.uop");
    EXPECT_THROW(tb::copyMapCells(dir / "map2LegacyMUL.uop", {0, 0, 20, 20, 5, 5},
                                  dir / "map4LegacyMUL.uop"),
                 tb::FileError);
    EXPECT_TRUE(readFile(dir / "map4LegacyMUL.uop") == before);
}

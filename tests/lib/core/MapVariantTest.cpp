#include "core/MapVariant.h"

#include <gtest/gtest.h>

#include <string>

using tb::identifyMapVariant;

namespace {

struct Row {
    const char* fileName;
    std::int64_t size;
    const char* caption;
    const char* sizeText;
    int width;
    int height;
    int heightBlocks;
};

// The known map files, in the order they are tested.
const Row kRows[] = {
    {"map0.mul", 89'915'392, "Mondains Legacy", "7168x4096", 7168, 4096, 512},
    {"map0.mul", 77'070'336, "Felucca+Trammel", "6144x4096", 6144, 4096, 512},
    {"map0.mul", 77'108'927, "Felucca+Trammel (unknown version)", "6144x4096", 6144, 4096, 512},
    {"map1.mul", 89'915'392, "Mondains Legacy (Patch 6.x.x.x)", "7168x4096", 7168, 4096, 512},
    {"map2.mul", 11'289'600, "Ilshenar", "2304x1600", 2304, 1600, 200},
    {"map3.mul", 16'056'320, "Malas", "2560x2048", 2560, 2048, 256},
    {"map4.mul", 6'421'156, "Tokuno", "1448x1448", 1448, 1448, 181},
    {"map5.mul", 16'056'320, "Ter Mur", "1280x4096", 1280, 4096, 512},
};

} // namespace

TEST(MapVariantTable, HoldsTheEightKnownFilesInOrder) {
    const auto variants = tb::mapVariants();
    ASSERT_EQ(variants.size(), std::size(kRows));
    for (std::size_t i = 0; i < variants.size(); ++i) {
        const tb::MapVariant& v = variants[i];
        const Row& r = kRows[i];
        SCOPED_TRACE(r.caption);
        EXPECT_EQ(v.fileName, r.fileName);
        EXPECT_EQ(v.fileSize, r.size);
        EXPECT_EQ(v.caption, r.caption);
        EXPECT_EQ(tb::mapSizeText(v.size()), r.sizeText);
        EXPECT_EQ(v.width, r.width);
        EXPECT_EQ(v.height, r.height);
        EXPECT_EQ(v.widthBlocks() * 8, r.width);
        EXPECT_EQ(v.heightBlocks(), r.heightBlocks);
    }
}

TEST(MapVariantTable, EverySizeButOneIsExactlyItsBlocks) {
    for (const tb::MapVariant& v : tb::mapVariants()) {
        if (v.fileSize == 77'108'927)
            EXPECT_EQ(v.fileSize - v.addressedSize(), 38'591);
        else
            EXPECT_EQ(v.fileSize, v.addressedSize()) << v.caption;
    }
}

TEST(IdentifyMapVariant, RecognisesEveryRowByNameAndSize) {
    for (const Row& r : kRows) {
        const auto v = identifyMapVariant(std::string("/games/uo/") + r.fileName, r.size);
        ASSERT_TRUE(v) << r.caption;
        EXPECT_EQ(v->caption, r.caption);
        EXPECT_EQ(v->size(), (tb::MapSize{r.width, r.height}));
        // One byte more or less is not the same file.
        EXPECT_FALSE(identifyMapVariant(r.fileName, r.size + 1)) << r.caption;
        EXPECT_FALSE(identifyMapVariant(r.fileName, r.size - 1)) << r.caption;
    }
}

TEST(IdentifyMapVariant, IgnoresCaseAndDirectoryOfTheName) {
    const auto v = identifyMapVariant("C:\\UO\\MAP0.MUL", 77'070'336);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->caption, "Felucca+Trammel");
    const auto w = identifyMapVariant("/Games/UO.dir/Map2.Mul", 11'289'600);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->caption, "Ilshenar");
}

TEST(IdentifyMapVariant, TellsTheTwoSameSizedFilesApartByName) {
    const auto malas = identifyMapVariant("map3.mul", 16'056'320);
    const auto terMur = identifyMapVariant("map5.mul", 16'056'320);
    ASSERT_TRUE(malas);
    ASSERT_TRUE(terMur);
    EXPECT_EQ(malas->caption, "Malas");
    EXPECT_EQ(malas->width, 2560);
    EXPECT_EQ(malas->height, 2048);
    EXPECT_EQ(terMur->caption, "Ter Mur");
    EXPECT_EQ(terMur->width, 1280);
    EXPECT_EQ(terMur->height, 4096);
}

TEST(IdentifyMapVariant, NeedsBothNameAndSizeOfOneRow) {
    EXPECT_FALSE(identifyMapVariant("map1.mul", 77'070'336));
    EXPECT_FALSE(identifyMapVariant("map0.mul", 16'056'320));
    EXPECT_FALSE(identifyMapVariant("map4.mul", 16'056'320));
    EXPECT_FALSE(identifyMapVariant("map6.mul", 89'915'392));
    EXPECT_FALSE(identifyMapVariant("xmap0.mul", 77'070'336));
    EXPECT_FALSE(identifyMapVariant("map0.mul.bak", 77'070'336));
    EXPECT_FALSE(identifyMapVariant("", 0));
}

TEST(MapFileName, AcceptsMap0ToMap5InAnyCase) {
    EXPECT_TRUE(tb::isMapFileName("map0.mul"));
    EXPECT_TRUE(tb::isMapFileName("/x/y/MAP5.MUL"));
    EXPECT_TRUE(tb::isMapFileName("c:\\uo\\Map3.mul"));
    EXPECT_FALSE(tb::isMapFileName("map6.mul"));
    EXPECT_FALSE(tb::isMapFileName("map.mul"));
    EXPECT_FALSE(tb::isMapFileName("map00.mul"));
    EXPECT_FALSE(tb::isMapFileName("statics0.mul"));
    EXPECT_FALSE(tb::isMapFileName("map0.mulx"));
}

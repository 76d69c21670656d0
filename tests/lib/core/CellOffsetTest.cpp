#include "core/MapVariant.h"

#include <gtest/gtest.h>

using tb::cellOffset;

TEST(CellOffset, AddressesCellsInsideColumnMajorBlocks) {
    EXPECT_EQ(cellOffset(0, 0, 512), 4);
    EXPECT_EQ(cellOffset(7, 0, 512), 25);
    EXPECT_EQ(cellOffset(0, 1, 512), 28);
    EXPECT_EQ(cellOffset(1, 1, 512), 31);
    EXPECT_EQ(cellOffset(0, 8, 512), 200);     // block 1
    EXPECT_EQ(cellOffset(8, 0, 512), 100'356); // block 512
}

TEST(CellOffset, LastCellOfEveryVariantEndsItsAddressedBlocks) {
    for (const tb::MapVariant& v : tb::mapVariants()) {
        const auto last = cellOffset(v.width - 1, v.height - 1, v.heightBlocks());
        EXPECT_EQ(last + 3, v.addressedSize()) << v.caption;
        EXPECT_EQ(last % tb::kBlockSize, 193) << v.caption;
    }
    EXPECT_EQ(cellOffset(7167, 4095, 512), 89'915'389);
}

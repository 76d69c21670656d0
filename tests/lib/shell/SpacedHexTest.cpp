#include "shell/SpacedHex.h"
#include "shell/Errors.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace tb;

namespace {

void expectNotSpacedHex(std::string_view text, int bytes) {
    try {
        spacedHexToInt(text, bytes);
        ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "Input not SpacedHex");
    }
}

} // namespace

TEST(SpacedHex, IntToSpacedHex) {
    EXPECT_EQ(intToSpacedHex(0, 2), "00 00");
    EXPECT_EQ(intToSpacedHex(0x011A, 2), "01 1A");
    EXPECT_EQ(intToSpacedHex(467, 2), "01 D3");
    EXPECT_EQ(intToSpacedHex(0x12345678, 4), "12 34 56 78");
    EXPECT_EQ(intToSpacedHex(0xABCDEF, 3), "AB CD EF");
    EXPECT_EQ(intToSpacedHex(0x1FF, 1), "FF"); // only the requested bytes
    EXPECT_EQ(intToSpacedHex(-1, 4), "FF FF FF FF");
    EXPECT_EQ(intToSpacedHex(0xFFFFFFFFu, 4), "FF FF FF FF");
    EXPECT_THROW(intToSpacedHex(1, 0), RangeError);
    EXPECT_THROW(intToSpacedHex(1, 5), RangeError);
}

TEST(SpacedHex, SpacedHexToInt) {
    EXPECT_EQ(spacedHexToInt("01 1A", 2), 0x011A);
    EXPECT_EQ(spacedHexToInt("011a", 2), 0x011A);
    EXPECT_EQ(spacedHexToInt("0 1 1 A", 2), 0x011A);
    EXPECT_EQ(spacedHexToInt("  01  1A  ", 2), 0x011A);
    EXPECT_EQ(spacedHexToInt("12 34 56 78", 4), 0x12345678);
    EXPECT_EQ(spacedHexToInt("FF FF FF FF", 4), -1);
    EXPECT_EQ(spacedHexToInt(intToSpacedHex(0xBEEF, 2), 2), 0xBEEF);
    for (const char* bad :
         {"1a", "011G", "", "01 1A 00", "01\t1A", "01-1A", "0x1A", "01 1A\r\n", "\xC3\xA9\xC3\xA9"})
        expectNotSpacedHex(bad, 2);
    expectNotSpacedHex("01 1A", 4);
    expectNotSpacedHex("12 34 56 78 9A", 4);
}

#include "shell/NumberText.h"
#include "shell/Errors.h"

#include <gtest/gtest.h>

using tb::strToInt;

TEST(NumberText, ReadsDecimalAndDollarHex) {
    EXPECT_EQ(strToInt("0"), 0);
    EXPECT_EQ(strToInt("-128"), -128);
    EXPECT_EQ(strToInt("+17"), 17);
    EXPECT_EQ(strToInt("$011a"), 0x011A);
    EXPECT_EQ(strToInt("$011A"), 0x011A);
    EXPECT_EQ(strToInt("0x10"), 16);
    EXPECT_EQ(strToInt("  42"), 42);
    EXPECT_EQ(strToInt("2147483647"), 2147483647);
    EXPECT_EQ(strToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(strToInt("$FFFFFFFF"), -1);
}

TEST(NumberText, RefusesWithTheConversionMessage) {
    for (const char* bad :
         {"", " ", "$", "12a", "abc", "1 ", "2147483648", "$100000000", "--1", "1.5", "$G1"}) {
        try {
            strToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const tb::ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

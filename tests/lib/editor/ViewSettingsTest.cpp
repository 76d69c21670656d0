#include "editor/ViewSettings.h"

#include "shell/Errors.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewSettings, DecimalNumbers) {
    EXPECT_EQ(tb::parseStoredDecimal("50"), 50);
    EXPECT_EQ(tb::parseStoredDecimal("-7"), -7);
    EXPECT_EQ(tb::parseStoredDecimal("+3"), 3);
    EXPECT_EQ(tb::parseStoredDecimal("2147483647"), 2147483647);
    EXPECT_EQ(tb::parseStoredDecimal("-2147483648"), -2147483647 - 1);
}

TEST(ViewSettings, AnythingElseIsAConversionError) {
    for (const char* text :
         {"", "-", "abc", "$1A", "0x10", " 5", "5 ", "1.5", "2147483648", "99999999999999999999"}) {
        try {
            tb::parseStoredDecimal(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const tb::ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(ViewSettings, NamesInWriteOrder) {
    EXPECT_EQ(tb::kViewSettingNames.front(), "CoordX");
    EXPECT_EQ(tb::kViewSettingNames.back(), "Grid");
    EXPECT_EQ(tb::kViewSettingNames[3], "ZoomLevel");
}

} // namespace

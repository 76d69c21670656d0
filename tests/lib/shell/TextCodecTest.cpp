#include "shell/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

using namespace tb;

TEST(TextCodec, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const std::string utf8 = windows1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToWindows1252(utf8), all);
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = windows1252ToUnicode(static_cast<unsigned char>(b));
        ASSERT_TRUE(isInWindows1252(cp)) << b;
        EXPECT_EQ(*unicodeToWindows1252(cp), b);
    }
}

TEST(TextCodec, MapsTheHighControlRangeAndTheUndefinedBytes) {
    EXPECT_EQ(windows1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(windows1252ToUnicode(0x8A), U'\u0160');
    EXPECT_EQ(windows1252ToUnicode(0x93), U'\u201C');
    EXPECT_EQ(windows1252ToUnicode(0x9F), U'\u0178');
    for (const unsigned char undefinedByte : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(windows1252ToUnicode(undefinedByte), char32_t(undefinedByte));
    EXPECT_EQ(windows1252ToUnicode(0xBF), U'\u00BF');
    EXPECT_EQ(windows1252ToUtf8("\x80 \xE9"), "\u20AC \u00E9");
    // C1 controls that the code page replaces by printable characters are not in it.
    EXPECT_FALSE(isInWindows1252(0x80));
    EXPECT_FALSE(isInWindows1252(0x9F));
    EXPECT_FALSE(isInWindows1252(0x100));
    EXPECT_FALSE(isInWindows1252(0x3A9));
    EXPECT_TRUE(isInWindows1252(0xFF));
}

TEST(TextCodec, WritesQuestionMarksForMissingCharactersAndBadUtf8) {
    EXPECT_EQ(utf8ToWindows1252("A\u03A9B\U0001F600C"), "A?B?C");
    EXPECT_EQ(utf8ToWindows1252("x\u20ACy"), "x\x80y");
    EXPECT_EQ(utf8ToWindows1252("a\xFF"
                                "b\xC3"),
              "a?b?");
    EXPECT_EQ(utf8ToWindows1252("\xC0\x80"), "??"); // overlong NUL
    EXPECT_EQ(utf8ToWindows1252("-", '#'), "-");
    EXPECT_EQ(utf8ToWindows1252("\u0100", '#'), "#");
}

TEST(TextCodec, DecodesUtf8Strictly) {
    auto decodeAll = [](std::string_view s) {
        std::u32string out;
        std::size_t pos = 0;
        while (pos < s.size())
            out += decodeUtf8(s, pos);
        return out;
    };
    EXPECT_EQ(decodeAll("a\u00E9\u20AC\U0001F600"), U"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(decodeAll("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");           // surrogate
    EXPECT_EQ(decodeAll("\xE0\x80\x80"), U"\uFFFD\uFFFD\uFFFD");           // overlong
    EXPECT_EQ(decodeAll("\xF4\x90\x80\x80"), U"\uFFFD\uFFFD\uFFFD\uFFFD"); // past U+10FFFF
    EXPECT_EQ(decodeAll("\xE2\x82"), U"\uFFFD\uFFFD");                     // truncated at the end
    EXPECT_EQ(decodeAll("\xE2"
                        "A"),
              U"\uFFFDA");
    EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBD plain"));
    EXPECT_FALSE(isValidUtf8("\x80"));

    std::string out;
    appendUtf8(out, 0xD800);
    appendUtf8(out, 0x110000);
    EXPECT_EQ(out, "\uFFFD\uFFFD");
}

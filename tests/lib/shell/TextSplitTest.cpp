#include "shell/TextSplit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tb;
using Pieces = std::vector<std::string>;

TEST(TextSplit, SplitText) {
    EXPECT_EQ(splitText(",", "$0245,$0246\r\n"), (Pieces{"$0245", "$0246"}));
    EXPECT_EQ(splitText(",", ""), (Pieces{""}));
    EXPECT_EQ(splitText(",", "a,b,"), (Pieces{"a", "b", ""}));
    // Inner pieces are not trimmed; only the last one loses trailing white space.
    EXPECT_EQ(splitText(",", " a , b \t\r\n"), (Pieces{" a ", " b"}));
    EXPECT_EQ(splitText(",", "a\r\n,b"), (Pieces{"a\r\n", "b"}));
    EXPECT_EQ(splitText(",", ",,"), (Pieces{"", "", ""}));
    EXPECT_EQ(splitText("::", "a::b:c"), (Pieces{"a", "b:c"}));
    EXPECT_EQ(splitText("", "a,b "), (Pieces{"a,b"}));
    EXPECT_EQ(splitText(",", "caf\xC3\xA9,\xC3\xA9"), (Pieces{"caf\xC3\xA9", "\xC3\xA9"}));
}

TEST(TextSplit, SplitIntTriple) {
    int a = -7, b = -8, c = -9;
    EXPECT_TRUE(splitIntTriple(",", "1,2,$0245\r\n", a, b, c));
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, 2, 0x245}));

    a = b = c = -1;
    EXPECT_TRUE(splitIntTriple(",", "1,2,3,4", a, b, c)); // a later middle piece wins
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, 3, 4}));

    a = b = c = -1;
    EXPECT_TRUE(splitIntTriple(",", "5,6", a, b, c)); // no middle piece
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{5, -1, 6}));

    a = b = c = -1;
    EXPECT_TRUE(splitIntTriple(",", "42", a, b, c)); // no separator: the last value only
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{-1, -1, 42}));

    // A piece that is no integer ends the walk; later values keep theirs.
    a = b = c = -1;
    EXPECT_FALSE(splitIntTriple(",", "1,x,3", a, b, c));
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, -1, -1}));
    a = b = c = -1;
    EXPECT_FALSE(splitIntTriple(",", "1,2 ,3", a, b, c)); // inner pieces are not trimmed
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, -1, -1}));
    a = b = c = -1;
    EXPECT_FALSE(splitIntTriple(",", "1,2,", a, b, c));
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, 2, -1}));
    a = b = c = -1;
    EXPECT_FALSE(splitIntTriple(",", "", a, b, c));
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{-1, -1, -1}));
}

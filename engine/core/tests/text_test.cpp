// Spot checks of the text operations; the exhaustive comparison against
// Python's str runs in the Python tests with generated strings.
#include <gtest/gtest.h>

#include "tarnwick/core/text.hpp"

using namespace tarnwick::text;

TEST(Text, LowerIsFullUnicodeLowerCasing) {
    EXPECT_EQ(lower("HeLLo"), "hello");
    EXPECT_EQ(lower("\u0130"), "i\u0307");             // İ expands
    EXPECT_EQ(lower("\u039F\u03A3"), "\u03BF\u03C2");  // final sigma
    EXPECT_EQ(lower("\u03A3"), "\u03C3");              // lone sigma
    EXPECT_EQ(lower_simple("\u0130X"), "i" "x");
}

TEST(Text, WhitespaceIsPythonsSet) {
    EXPECT_TRUE(is_space(0x00A0));
    EXPECT_TRUE(is_space(0x2003));
    EXPECT_TRUE(is_space(0x001C));
    EXPECT_TRUE(is_space(0x0085));
    EXPECT_FALSE(is_space(0x200B));
    EXPECT_EQ(strip("\u00A0 a b\u2003\n"), "a b");
    auto parts = split("\x1f" "a\u3000b  c ");
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[1], "b");
    auto two = split_once("  first  rest of it  ");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0], "first");
    EXPECT_EQ(two[1], "rest of it  ");
    EXPECT_TRUE(split_once(" \t").empty());
}

TEST(Text, DigitsLengthAndRepr) {
    EXPECT_TRUE(has_digit("ab\u00B2"));  // superscript two is a digit
    EXPECT_FALSE(has_digit("\u00BD"));   // vulgar half is numeric, not a digit
    EXPECT_EQ(length("a\u00e9\U0001F600"), 3u);
    EXPECT_EQ(repr("it's"), "\"it's\"");
    EXPECT_EQ(repr("a'b\"c"), "'a\\'b\"c'");
    EXPECT_EQ(repr("\t\x01\u00A0\u2028\U000E0001"), "'\\t\\x01\\xa0\\u2028\\U000e0001'");
    EXPECT_EQ(repr_list({"click", "type"}), "['click', 'type']");
}

TEST(Text, SurrogatesSurviveAsCodePoints) {
    std::string lone = "\xED\xA0\x80";  // U+D800 as surrogatepass writes it
    EXPECT_EQ(length(lone), 1u);
    EXPECT_EQ(lower(lone + "A"), lone + "a");
    EXPECT_EQ(repr(lone), "'\\ud800'");
}

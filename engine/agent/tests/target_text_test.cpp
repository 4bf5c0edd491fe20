#include <gtest/gtest.h>

#include "tarnwick/stepreader/instruction_parser.hpp"

namespace sr = tarnwick::stepreader;

TEST(Unquote, ReplacesMatchedPairsAndKeepsStrayQuotes) {
    struct Case {
        std::string in, text;
        std::vector<std::string> literals;
    };
    const Case cases[] = {
        {R"(click "Log in")", "click Log in", {"Log in"}},
        {R"(type "a" into "b c")", "type a into b c", {"a", "b c"}},
        {R"(click "Login)", R"(click "Login)", {}},
        {R"(click "")", R"(click "")", {}},
        // The second quote of an empty pair may open a literal.
        {R"(x ""abc" y)", R"(x "abc y)", {"abc"}},
        {R"("a"b"c")", "abc", {"a", "c"}},
        {"\"line\nbreak\"", "line\nbreak", {"line\nbreak"}},
    };
    for (const auto& c : cases) {
        sr::Unquoted u = sr::unquote(c.in);
        EXPECT_EQ(u.text, c.text) << c.in;
        EXPECT_EQ(u.literals, c.literals) << c.in;
    }
}

TEST(CleanTarget, DropsOnlyLeadingStopWords) {
    const std::pair<std::string, std::string> cases[] = {
        {"the Submit Button", "Submit Button"},
        {"  On THE  a   Cart  ", "Cart"},
        {"button in the footer", "button in the footer"},
        {"the the", ""},
        {"", ""},
        {"into\u00a0Name", "Name"},  // U+00A0 separates words, as in str.split()
        {"ANother", "ANother"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(sr::clean_target(in), out) << in;
}

TEST(ExtractOrdinal, OnlyTheFirstWordCounts) {
    struct Case {
        std::string in;
        int ordinal;
        std::string rest;
    };
    const Case cases[] = {
        {"second row", 2, "row"},
        {"  FIFTH   link below  ", 5, "link below  "},
        {"first", 1, ""},
        {"third\t", 3, ""},
        {"the second button", 1, "the second button"},
        {"sixth row", 1, "sixth row"},
        {"", 1, ""},
    };
    for (const auto& c : cases) {
        sr::OrdinalSplit s = sr::extract_ordinal(c.in);
        EXPECT_EQ(s.ordinal, c.ordinal) << c.in;
        EXPECT_EQ(s.rest, c.rest) << c.in;
    }
}

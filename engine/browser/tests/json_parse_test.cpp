#include <gtest/gtest.h>

#include "tarnwick/browser/json_parse.hpp"

namespace tarnwick::browser {
namespace {

TEST(ParseJson, ValuesKindsAndOrder) {
    EXPECT_EQ(parse_json(R"({"b":[1,-2,2.5,1e3,-0,9223372036854775808],"a":{"z":null,"y":true,"x":false}})"),
              Value(Map{{"b", Sequence{Value(1), Value(-2), Value(2.5), Value(1000.0), Value(0),
                                       Value(9223372036854775808.0)}},
                        {"a", Map{{"z", nullptr}, {"y", true}, {"x", false}}}}));
}

TEST(ParseJson, StringEscapes) {
    EXPECT_EQ(parse_json(R"("a\"\\\/\b\f\n\r\t\u00e9\ud83c\udf89")"), Value("a\"\\/\b\f\n\r\t\xc3\xa9\xf0\x9f\x8e\x89"));
    // A lone surrogate keeps its three-byte form.
    EXPECT_EQ(parse_json(R"("\ud800x")"), Value("\xed\xa0\x80x"));
}

TEST(ParseJson, MalformedTextIsAnError) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "\"open", "tru", "1 2", "\"\\x\"", "-", "{\"a\":}"})
        EXPECT_THROW(parse_json(bad), JsonError) << bad;
    EXPECT_THROW(parse_json(std::string(600, '[')), JsonError);
}

}  // namespace
}  // namespace tarnwick::browser

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

namespace tarnwick::browser {
namespace {

TEST(ParseJson, RepeatedKeysKeepTheirPlaceAndTakeTheLastValue) {
    std::string text = "{";
    for (int i = 0; i < 40; ++i) text += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    text += "\"k3\":99,\"k39\":-1}";
    Value v = parse_json(text);
    ASSERT_EQ(v.as_map().size(), 40u);
    EXPECT_EQ(*v.get("k3"), Value(99));
    EXPECT_EQ(*v.get("k39"), Value(-1));
    EXPECT_EQ(parse_json(R"({"a":1,"b":2,"a":3})"), Value(Map{{"a", 3}, {"b", 2}}));
}

}  // namespace
}  // namespace tarnwick::browser

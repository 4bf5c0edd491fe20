#include <gtest/gtest.h>

#include "tarnwick/core/json.hpp"

using namespace tarnwick;

TEST(Json, FloatReprMatchesPython) {
    struct Case { double value; const char* text; };
    for (auto c : {Case{8.0, "8.0"}, Case{0.1, "0.1"}, Case{1e16, "1e+16"}, Case{1e15, "1000000000000000.0"},
                   Case{0.0001, "0.0001"}, Case{0.00001, "1e-05"}, Case{-2.5, "-2.5"},
                   Case{123.456, "123.456"}, Case{1.5e300, "1.5e+300"}, Case{0.0, "0.0"}})
        EXPECT_EQ(json::float_repr(c.value), c.text) << c.text;
}

TEST(Json, IndentedAsciiOutput) {
    Value v(Map{{"url", "http://x/\u00e9"}, {"elements", Sequence{Value(Map{{"w", 8.0}, {"n", 3}})}},
                {"empty", Sequence{}}, {"flag", true}, {"none", nullptr}});
    EXPECT_EQ(json::dumps(v, 2),
              "{\n"
              "  \"url\": \"http://x/\\u00e9\",\n"
              "  \"elements\": [\n"
              "    {\n"
              "      \"w\": 8.0,\n"
              "      \"n\": 3\n"
              "    }\n"
              "  ],\n"
              "  \"empty\": [],\n"
              "  \"flag\": true,\n"
              "  \"none\": null\n"
              "}");
    EXPECT_EQ(json::dumps(Value("\U0001F600\x7f"), -1), "\"\\ud83d\\ude00\\u007f\"");
}

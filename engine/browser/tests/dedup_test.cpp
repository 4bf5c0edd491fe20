#include <gtest/gtest.h>

#include <random>

#include "tarnwick/browser/dedup.hpp"
#include "tarnwick/core/errors.hpp"

namespace tarnwick::browser {
namespace {

Value text_element(std::string text, double x, double y, double w, double h, bool direct = false) {
    return Map{{"text", std::move(text)},
               {"has_direct_text", direct},
               {"bounding_box", Map{{"x", x}, {"y", y}, {"width", w}, {"height", h}}}};
}

std::vector<std::size_t> pairwise(const std::vector<Value>& c) {
    auto num = [](const Value& e, const char* k) { return e.get("bounding_box")->get(k)->as_number(); };
    auto area = [&](const Value& e) { return num(e, "width") * num(e, "height"); };
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < c.size(); ++i) {
        bool dominated = false;
        if (!c[i].get("has_direct_text")->as_bool())
            for (std::size_t j = 0; j < c.size() && !dominated; ++j) {
                const Value &o = c[j], &e = c[i];
                dominated = j != i && area(o) < area(e) &&
                            num(o, "x") < num(e, "x") + num(e, "width") && num(o, "x") + num(o, "width") > num(e, "x") &&
                            num(o, "y") < num(e, "y") + num(e, "height") && num(o, "y") + num(o, "height") > num(e, "y") &&
                            e.get("text")->as_text().find(o.get("text")->as_text()) != std::string::npos;
            }
        if (!dominated) kept.push_back(i);
    }
    return kept;
}

TEST(Dedup, WrappersGiveWayToSmallerTexts) {
    std::vector<Value> c = {
        text_element("Only", 0, 0, 100, 40),             // li around the span: dropped
        text_element("Only", 10, 10, 20, 10, true),      // span
        text_element("Total", 0, 50, 100, 40, true),     // own text: kept
        text_element("Total", 10, 60, 20, 10, true),
        text_element("Same", 0, 100, 50, 50),            // equal boxes: both kept
        text_element("Same", 0, 100, 50, 50),
        text_element("Touch", 200, 0, 10, 10),           // only touching: kept
        text_element("T", 210, 0, 5, 5, true),
        text_element("Price 10", 300, 0, 100, 20),       // contains "Price": dropped
        text_element("Price", 300, 0, 40, 20, true),
    };
    EXPECT_EQ(dedup_text_positions(c), (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 9}));
}

TEST(Dedup, ZeroSizedBoxesInsideOthersStillCount) {
    std::vector<Value> c = {text_element("ab", 0, 0, 100, 100), text_element("a", 50, 50, 0, 10, true)};
    EXPECT_EQ(dedup_text_positions(c), (std::vector<std::size_t>{1}));
}

TEST(Dedup, SameAnswerAsThePairwiseRule) {
    std::mt19937 rng(7);
    const std::vector<std::string> words = {"a", "b", "ab", "ba", "abc"};
    const std::vector<double> widths = {0, 0.5, 3, 40, 400, 5000, 200000};
    for (int round = 0; round < 20; ++round) {
        std::vector<Value> c;
        for (int i = 0; i < 400; ++i) {
            std::string text = words[rng() % words.size()];
            if (rng() % 2) text += " " + words[rng() % words.size()];
            c.push_back(text_element(text, double(rng() % 3000) - 100 + (rng() % 2) * 0.5,
                                     double(rng() % 8000) - 50, widths[rng() % widths.size()],
                                     widths[rng() % widths.size()] / 7, rng() % 5 == 0));
        }
        ASSERT_EQ(dedup_text_positions(c), pairwise(c)) << round;
    }
}

TEST(Dedup, MalformedRecordsAreValueErrors) {
    EXPECT_THROW(dedup_text_positions({Value(Map{{"text", "x"}})}), ValueError);
    EXPECT_THROW(dedup_text_positions({Value(Map{{"bounding_box", Map{{"x", 1}}}})}), ValueError);
    EXPECT_THROW(dedup_text_positions({Value("x")}), TypeError);
}

}  // namespace
}  // namespace tarnwick::browser

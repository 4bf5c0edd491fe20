#include <gtest/gtest.h>

#include "records.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/textfinder/dom_strategy.hpp"

using namespace tarnwick;
using namespace tarnwick::textfinder;
using namespace tarnwick::textfinder::testing;

namespace {

const DOMStrategy strategy;

Instruction click(std::string target, std::int64_t ordinal = 1) {
    return Instruction{"click", std::move(target), "", ordinal};
}

std::vector<std::size_t> positions(const std::vector<ElementRef>& refs) {
    std::vector<std::size_t> out;
    for (auto r : refs) out.push_back(r.index);
    return out;
}

}  // namespace

TEST(TextfinderElementAction, ExactMatchesReplaceContainingOnes) {
    std::vector<Value> page{element("Login to your account"), element("Login")};
    Resolution r = strategy.resolve(click("Login button"), page);
    ASSERT_TRUE(r.resolved);
    EXPECT_EQ(r.shape, ResultShape::Element);
    EXPECT_EQ(r.element, (ElementRef{Source::Dom, 1}));
    EXPECT_EQ(positions(r.candidates), std::vector<std::size_t>{1});
}

TEST(TextfinderElementAction, OrdinalsInReadingOrderAndFromTheEnd) {
    std::vector<Value> page{element("Add", {}, 300, 100), element("Add", {}, 500, 10),
                            element("Add", {}, 10, 100)};
    struct Case {
        std::int64_t ordinal;
        std::optional<std::size_t> chosen;
    };
    for (auto c : {Case{1, 1}, Case{2, 2}, Case{3, 0}, Case{9, 0}, Case{0, 2}, Case{-2, 0},
                   Case{-3, std::nullopt}, Case{INT64_MIN, std::nullopt}, Case{INT64_MAX, 0}}) {
        Resolution r = strategy.resolve(click("add", c.ordinal), page);
        ASSERT_EQ(r.resolved, c.chosen.has_value()) << c.ordinal;
        if (c.chosen) EXPECT_EQ(r.element->index, *c.chosen) << c.ordinal;
        else EXPECT_TRUE(r.candidates.empty());
    }
}

TEST(TextfinderElementAction, HiddenOnlyWhenNothingVisibleMatches) {
    std::vector<Value> page{element("Delete", {}, 0, 0, false), element("Delete all")};
    EXPECT_EQ(positions(strategy.resolve(click("delete"), page).candidates),
              std::vector<std::size_t>{1});
    page.pop_back();
    EXPECT_EQ(strategy.resolve(click("delete"), page).element->index, 0u);
}

TEST(TextfinderElementAction, ExtractTextFallsBackToTextElements) {
    std::vector<Value> dom{element("Checkout")};
    std::vector<Value> texts{text_element("Order 7", 0, 0, "/p[1]")};
    Instruction ins{"extract_text", "order", "", 1};
    Resolution r = strategy.resolve(ins, dom, texts);
    EXPECT_EQ(r.element, (ElementRef{Source::Text, 0}));
    EXPECT_FALSE(strategy.resolve(click("order"), dom, texts).resolved);
}

TEST(TextfinderElementAction, NonNumericCoordinateRaises) {
    Value bad = element("Go");
    bad.as_map().set("bounding_box", Value(Map{{"x", 0}, {"y", "top"}}));
    std::vector<Value> page{element("Go"), bad};
    EXPECT_THROW(strategy.resolve(click("go"), page), TypeError);
}

TEST(TextfinderVerification, StateOfTheShortestMatch) {
    std::vector<Value> page{element("Save changes"), element("Save", {}, 0, 0, false)};
    Resolution r = strategy.resolve(Instruction{"verify_visible", "Save button", "", 1}, page);
    EXPECT_EQ(r.shape, ResultShape::Verification);
    EXPECT_TRUE(r.resolved);
    EXPECT_FALSE(r.verified);
    EXPECT_EQ(r.element->index, 1u);
    EXPECT_EQ(r.state, (Map{{"present", true}, {"visible", false}, {"enabled", true}}));
    EXPECT_TRUE(strategy.resolve(Instruction{"verify_present", "Save", "", 1}, page).verified);
    EXPECT_THROW(strategy.resolve_verify("verify_text_visible", "Save", page), ValueError);
}

TEST(TextfinderTextSearch, ContainsShortestFirstAndExactTwice) {
    std::vector<Value> texts{text_element("Subtotal", 0, 0, "/p[1]"),
                             text_element("Total ", 0, 0, "/p[2]")};
    Resolution found = strategy.resolve_find_text("TOTAL", texts);
    EXPECT_EQ(positions(found.candidates), (std::vector<std::size_t>{1, 0}));
    Resolution exact = strategy.resolve_find_exact_text("total", texts);
    EXPECT_EQ(exact.element->index, 1u);
    EXPECT_EQ(positions(exact.candidates), (std::vector<std::size_t>{1, 0, 1}));
    Resolution near = strategy.resolve_find_exact_text("tot", texts);
    EXPECT_FALSE(near.resolved);
    EXPECT_EQ(positions(near.candidates), (std::vector<std::size_t>{1, 0}));
}

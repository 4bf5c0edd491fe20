#include <gtest/gtest.h>

#include "records.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/textfinder/dom_strategy.hpp"

using namespace tarnwick;
using namespace tarnwick::textfinder;
using namespace tarnwick::textfinder::testing;

namespace {

const DOMStrategy strategy;

std::vector<Value> total_page(std::string value) {
    return {text_element("Total", 0, 0, "/t[1]/span[1]"),
            text_element(std::move(value), 0, 40, "/t[1]/span[2]")};
}

}  // namespace

TEST(TextfinderSpatialText, VerifiesNormalisedContainmentEitherWay) {
    struct Case {
        const char* expected;
        const char* actual;
        bool verified;
    };
    for (auto c : {Case{"1234.00", "$1,234.00", true}, Case{"$1,234", "$1,234.00", true},
                   Case{"Total: 12 items", "12", true}, Case{"", "12", false},
                   Case{"12", "$", false}, Case{"$,", "$", false}}) {
        auto texts = total_page(c.actual);
        Resolution r = strategy.resolve_verify_spatial_text("below Total", c.expected, texts);
        EXPECT_TRUE(r.resolved);
        EXPECT_EQ(r.verified, c.verified) << c.expected << " / " << c.actual;
        EXPECT_EQ(r.element, (ElementRef{Source::Text, 1}));
        EXPECT_EQ(r.state, (Map{{"expected", c.expected}, {"actual", c.actual}}));
    }
}

TEST(TextfinderSpatialText, PhraseFailuresAndMessages) {
    auto texts = total_page("5");
    Resolution no_direction = strategy.resolve_verify_spatial_text("near Total", "5", texts);
    EXPECT_FALSE(no_direction.resolved);
    EXPECT_EQ(no_direction.state, (Map{{"expected", "5"}}));
    Resolution missing = strategy.resolve_verify_spatial_text("below the Price", "5", texts);
    EXPECT_EQ(missing.state, (Map{{"expected", "5"}, {"actual", "anchor 'Price' not found"}}));
    Resolution nothing = strategy.resolve_verify_spatial_text("next to Total", "5", texts);
    EXPECT_TRUE(nothing.resolved);
    EXPECT_EQ(nothing.element, (ElementRef{Source::Text, 0}));
    EXPECT_EQ(nothing.state,
              (Map{{"expected", "5"}, {"actual", "no element right of 'Total'"}}));
}

TEST(TextfinderSpatialText, TreeDistanceOnlyForTextAnchors) {
    std::string far = "/a[1]";
    for (int i = 0; i < 11; ++i) far += "/div[1]";  // 11 steps away
    std::vector<Value> texts{text_element("Total", 0, 0, "/a[1]"), text_element("9", 0, 30, far)};
    EXPECT_TRUE(strategy.resolve_verify_spatial_text("below Total", "9", texts).candidates.empty());
    std::vector<Value> only_value{texts[1]};
    std::vector<Value> dom{element("Total")};
    EXPECT_TRUE(
        strategy.resolve_verify_spatial_text("below Total", "9", only_value, dom).verified);
}

TEST(TextfinderSpatialText, MissingCoordinateIsAnError) {
    auto texts = total_page("5");
    texts[1].as_map().set("bounding_box", Value(Map{{"x", 0}, {"y", 40}, {"width", 10}}));
    EXPECT_THROW(strategy.resolve_verify_spatial_text("below Total", "5", texts), ValueError);
}

TEST(TextfinderSpatialText, ExtractReturnsNearestOrAnchorText) {
    std::vector<Value> texts{text_element("Widget", 0, 0, "/r[1]/td[1]", "td", 50),
                             text_element("Qty", 200, 0, "/r[1]/td[3]", "td", 50),
                             text_element(" 3 ", 100, 0, "/r[1]/td[2]", "td", 50)};
    Resolution r = strategy.resolve_extract_spatial_text("left of Qty", texts);
    EXPECT_EQ(r.shape, ResultShape::Extraction);
    EXPECT_EQ(r.extracted, "3");
    EXPECT_EQ(r.candidates.size(), 2u);
    Resolution own = strategy.resolve_extract_spatial_text("above Qty", texts);
    EXPECT_EQ(own.extracted, "Qty");
    EXPECT_TRUE(own.candidates.empty());
}

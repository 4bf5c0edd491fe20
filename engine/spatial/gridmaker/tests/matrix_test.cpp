#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tarnwick/core/errors.hpp"
#include "tarnwick/gridmaker/matrix.hpp"
#include "tarnwick/gridmaker/records.hpp"

using namespace tarnwick;
using namespace tarnwick::gridmaker;

namespace {

Value box(Value x, Value y, Value w = 10, Value h = 10) {
    return Map{{"x", x}, {"y", y}, {"width", w}, {"height", h}};
}

Value element(std::string_view tag, std::string_view text, Value bb, Map attrs = {}) {
    return Map{{"tag", tag}, {"text", text}, {"attributes", attrs}, {"bounding_box", bb}};
}

std::vector<std::string> texts_of(const Sequence& matrix) {
    std::vector<std::string> out;
    for (const Value& e : matrix) out.push_back(e.get("text")->as_text());
    return out;
}

}  // namespace

TEST(MatrixElementType, FollowsRoleThenSubmitInputsThenTagTable) {
    struct Case {
        std::string_view tag, role, type, expected;
    } cases[] = {
        {"textarea", "", "", "input"},   {"input", "", "submit", "button"},
        {"input", "", "reset", "button"}, {"input", "", "checkbox", "input"},
        {"div", "combobox", "", "combobox"}, {"a", "", "", "link"},
        {"A", "", "", "A"},               {"div", "", "", "div"},
        {"", "", "", ""},                 {"span", "Button", "", "span"},
        {"select", "", "", "select"},     {"button", "link", "", "link"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(element_type(c.tag, c.role, c.type), c.expected) << c.tag << "/" << c.role;
}

TEST(MatrixSearchable, JoinsNonEmptyPartsAndTrimsOnlyTheWhole) {
    ElementFields f;
    f.text = "Sign in ";
    f.aria_label = "Sign in";
    f.name = "login";
    EXPECT_EQ(searchable(f), "Sign in  Sign in login");

    ElementFields blank;
    blank.text = "\u00a0";  // whitespace-only parts are kept, then trimmed away
    blank.placeholder = "Email";
    EXPECT_EQ(searchable(blank), "Email");
    EXPECT_EQ(searchable(ElementFields{}), "");
}

TEST(MatrixPosition, KeepsKindsAndDerivesEdgesAndCentres) {
    Position p = position(Number::of(std::int64_t{10}), Number::of(std::int64_t{4}),
                          Number::of(std::int64_t{5}), Number::of(std::int64_t{3}));
    EXPECT_DOUBLE_EQ(p.cx, 12.5);
    EXPECT_DOUBLE_EQ(p.cy, 5.5);
    EXPECT_EQ(p.x2, Number::of(std::int64_t{15}));
    EXPECT_EQ(p.y2, Number::of(std::int64_t{7}));

    Position mixed = position(Number::of(1.5), Number::of(std::int64_t{0}), Number::of(std::int64_t{2}),
                              Number::of(0.5));
    EXPECT_FALSE(mixed.x2.is_integer);
    EXPECT_DOUBLE_EQ(mixed.x2.real, 3.5);
    EXPECT_FALSE(mixed.y2.is_integer);

    Number big = Number::of(std::numeric_limits<std::int64_t>::max());
    EXPECT_THROW(position(big, big, big, big), ValueError);
}

TEST(MatrixBuild, SortsByRawCornerAndNumbersWithoutGaps) {
    Sequence dom{
        element("button", "low", box(0, 101)),
        element("button", "none", Value()),
        element("button", "high", box(500, 100)),
        element("button", "empty", Map{}),
        element("button", "zero", box(0, 0, 0, 0)),
    };
    Sequence texts{element("span", "label", box(0, 0))};
    Sequence m = build_values(dom, texts);
    EXPECT_EQ(texts_of(m), (std::vector<std::string>{"zero", "label", "high", "low"}));
    for (std::size_t i = 0; i < m.size(); ++i) EXPECT_EQ(m[i].get("index")->as_integer(), int(i));
    EXPECT_TRUE(m[1].get("is_anchor_only")->as_bool());
    EXPECT_EQ(m[1].get("element_type")->as_text(), "text");
}

TEST(MatrixBuild, CountsOrderWithinEachType) {
    Sequence dom{
        element("button", "b1", box(0, 0)),  element("a", "l1", box(0, 10)),
        element("button", "b2", box(0, 30)), element("button", "b3", box(0, 50)),
    };
    Sequence texts{element("p", "t1", box(0, 20)), element("p", "t2", box(0, 40))};
    Sequence m = build_values(dom, texts);
    std::vector<std::int64_t> orders;
    for (const Value& e : m) orders.push_back(e.get("order_in_type")->as_integer());
    // b1 l1 t1 b2 t2 b3
    EXPECT_EQ(orders, (std::vector<std::int64_t>{1, 1, 1, 2, 2, 3}));
}

TEST(MatrixBuild, NanCornersSortDeterministically) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Sequence dom;
    for (int i = 0; i < 40; ++i) dom.push_back(element("a", std::to_string(i), box(0, i % 3 ? Value(double(i)) : Value(nan))));
    Sequence m = build_values(dom, {});
    ASSERT_EQ(m.size(), 40u);
    // Numbers ascending, then every NaN in input order.
    EXPECT_EQ(m.front().get("text")->as_text(), "1");
    EXPECT_EQ(m[26].get("text")->as_text(), "0");
    EXPECT_EQ(m.back().get("text")->as_text(), "39");
}

TEST(MatrixReadElement, ReportsMalformedRecordsByPlace) {
    struct Case {
        Value record;
        std::string message;
    } cases[] = {
        {Value(Sequence{}), "dom_elements[0] must be a dict, not list"},
        {Map{{"attributes", "x"}}, "dom_elements[0]['attributes'] must be a dict, not str"},
        {Map{{"text", nullptr}}, "dom_elements[0]['text'] must be str, not NoneType"},
        {Map{{"attributes", Map{{"role", 3}}}},
         "dom_elements[0]['attributes']['role'] must be str, not int"},
        {Map{{"bounding_box", Map{{"x", "1"}}}},
         "dom_elements[0]['bounding_box']['x'] must be a number, not str"},
        {Map{{"bounding_box", Sequence{}}}, "dom_elements[0]['bounding_box'] must be a dict, not list"},
        {Map{{"is_enabled", 1}}, "dom_elements[0]['is_enabled'] must be bool, not int"},
    };
    for (const Case& c : cases) {
        try {
            build_values(Sequence{c.record}, {});
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const TypeError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(MatrixReadElement, TextElementsReadOnlyTheirOwnKeys) {
    // A text element's role or state is not the matrix's business.
    Value text = Map{{"text", "Total"},
                     {"attributes", Map{{"role", 5}, {"_label", "Sum"}}},
                     {"is_enabled", "yes"},
                     {"bounding_box", box(1, 2)}};
    Sequence m = build_values({}, Sequence{text});
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].get("label")->as_text(), "Sum");
    EXPECT_EQ(m[0].get("searchable")->as_text(), "Total");
    EXPECT_TRUE(m[0].get("is_enabled")->as_bool());
}

#include <gtest/gtest.h>

#include "records.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/textfinder/matching.hpp"

using namespace tarnwick;
using namespace tarnwick::textfinder;
using tarnwick::textfinder::testing::element;

TEST(TextfinderStripTypeDescriptors, RemovesTrailingThenLeadingTypeWords) {
    struct Case {
        const char* target;
        const char* expected;
    };
    for (auto c : {Case{"Login Button", "Login"}, Case{"button", "button"},
                   Case{"input field", "input field"}, Case{"link to home page", "to home page"},
                   Case{"the login button", "the login"}, Case{"  Submit  form ", "Submit"},
                   Case{"", ""}, Case{"   ", "   "}, Case{"save\u00a0BTN", "save"}})
        EXPECT_EQ(strip_type_descriptors(c.target), c.expected) << c.target;
}

TEST(TextfinderSearchableStrings, ListsSurfacesInMatchingOrder) {
    Value e = element("Go", Map{{"class", "btn css-1x2y3z primary_action"},
                                {"data-qa-login-btn", "v"},
                                {"id", "main-nav"},
                                {"_label", "Label"},
                                {"alt", "pic"},
                                {"aria-label", "Go now"},
                                {"data-testid", "go"}});
    EXPECT_EQ(searchable_strings(e),
              (std::vector<std::string>{"Go", "Go now", "go", "pic", "primary action", "main",
                                        "qa login btn"}));
    EXPECT_EQ(searchable_strings(e, true)[2], "Label");
    EXPECT_TRUE(searchable_strings(Value(Map{})).empty());
    Value dropped = element("", Map{{"id", "btn_ok"}, {"class", "a1b2c3d4"}});
    EXPECT_TRUE(searchable_strings(dropped).empty());
}

TEST(TextfinderSearchableStrings, MalformedValuesRaiseTypeError) {
    EXPECT_THROW(searchable_strings(Value(Map{{"text", 5}})), TypeError);
    EXPECT_THROW(searchable_strings(Value(Map{{"attributes", "x"}})), TypeError);
    EXPECT_THROW(searchable_strings(Value(Map{{"attributes", Map{{"id", true}}}})), TypeError);
    EXPECT_THROW(searchable_strings(Value("not a record")), TypeError);
}

TEST(TextfinderMatching, ContainsAndExactOnNormalisedTarget) {
    Value cart = element("", Map{{"class", "shopping-cart_icon-wrapper"}});
    EXPECT_TRUE(matches_element("cart_icon", cart));
    EXPECT_FALSE(exact_matches_element("cart_icon", cart));
    EXPECT_TRUE(exact_matches_element("log in", element(" Log In ")));
    EXPECT_FALSE(exact_matches_element("log in", element("Log in now")));
    EXPECT_TRUE(matches_element("", element("x")));
    EXPECT_FALSE(matches_element("", element("")));
    Value labelled = element("", Map{{"_label", "Email"}});
    EXPECT_FALSE(matches_element("email", labelled));
    EXPECT_TRUE(matches_element("email", labelled, true));
    // Full lower-casing of non-ASCII surfaces.
    EXPECT_TRUE(exact_matches_element("i\u0307stanbul", element("\u0130STANBUL")));
    EXPECT_TRUE(matches_element("\u03bf\u03b4\u03bf\u03c2", element("\u039f\u0394\u039f\u03a3")));
}

TEST(TextfinderDomDistance, CountsStepsThroughTheDeepestCommonAncestor) {
    EXPECT_EQ(dom_distance("/html[1]/body[1]/div[1]/span[1]", "/html[1]/body[1]/div[2]/p[1]"), 4);
    EXPECT_EQ(dom_distance("a[1]/b[1]", "a[1]/b[1]/c[1]"), 1);
    EXPECT_EQ(dom_distance("", ""), 0);
    EXPECT_EQ(dom_distance("/a[1]/b[1]", "/a[1]/c[1]"), 2);
}

TEST(TextfinderFilterByAction, KeepsWhatTheActionCanActOnOrEverything) {
    std::vector<Value> page{element("b"), element("", {}, 0, 0, true, "input"),
                            element("", Map{{"role", "combobox"}}, 0, 0, true, "div"),
                            element("", {}, 0, 0, true, "select")};
    EXPECT_EQ(filter_by_action("type", page), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(filter_by_action("select", page), (std::vector<std::size_t>{3}));
    EXPECT_EQ(filter_by_action("click", page), std::nullopt);
    std::vector<Value> buttons{element("a"), element("b")};
    EXPECT_EQ(filter_by_action("type", buttons), std::nullopt);
}

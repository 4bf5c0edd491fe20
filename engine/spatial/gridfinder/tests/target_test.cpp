#include <gtest/gtest.h>

#include <sstream>

#include "tarnwick/gridfinder/target.hpp"

using namespace tarnwick::gridfinder;

namespace {

struct Case {
    std::string_view phrase;
    Target expected;
};

using S = std::string;

}  // namespace

namespace tarnwick::gridfinder {

template <typename T>
std::string shown(const std::optional<T>& v) {
    if (!v) return "None";
    std::ostringstream out;
    out << "'" << *v << "'";
    return out.str();
}

void PrintTo(const Target& t, std::ostream* os) {
    *os << "(" << shown(t.anchor_text) << ", " << shown(t.strategy) << ", " << shown(t.type_filter)
        << ", " << shown(t.ordinal) << ", " << shown(t.search_text) << ", " << shown(t.target_text)
        << ")";
}

}  // namespace tarnwick::gridfinder

TEST(GridTarget, ParsesTheTableOfPhrases) {
    const Case cases[] = {
        {"Delete button next to John", {S("john"), "next_to", "button", {}, {}, S("delete")}},
        {"button below Cart", {S("cart"), "below", "button", {}, {}, {}}},
        {"second link under the Orders heading", {S("orders heading"), "below", "link", 2, {}, {}}},
        {"third input", {{}, {}, "input", 3, {}, {}}},
        {"second Submit button", {{}, {}, "button", 2, S("submit"), {}}},
        {"2nd button below", {S(""), "below", "button", 2, {}, {}}},
        {"Save", {}},
        // Longest phrase first; then stored order among equal lengths.
        {"button right of left of X", {S("left of x"), "right", "button", {}, {}, {}}},
        {"link left of Save next to Cancel", {S("cancel"), "next_to", "link", {}, {}, S("left of save")}},
        // Substrings, not words.
        {"field nearby Email", {S("by email"), "near", "input", {}, {}, {}}},
        {"button under", {S(""), "below", "button", {}, {}, {}}},
        // Articles once each, in order, only at the start of the anchor.
        {"the button below an a Label", {S("a label"), "below", "button", {}, {}, S("the")}},
        {"button below the a b", {S("b"), "below", "button", {}, {}, {}}},
        {"button below a the b", {S("the b"), "below", "button", {}, {}, {}}},
        {"first button below first heading", {S("first heading"), "below", "button", 1, {}, {}}},
        {"SECOND BUTTON", {{}, {}, "button", 2, {}, {}}},
        // Table order decides the type, not phrase order.
        {"input below the Search button", {S("search button"), "below", "button", {}, {}, S("input")}},
        // Punctuation keeps a word from matching.
        {"second, button", {{}, {}, "button", {}, {}, {}}},
        // Ordinal-only search words drop relation words and articles.
        {"the second Save link next to", {S(""), "next_to", "link", 2, S("save"), S("the save")}},
        {"Ｓecond", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(parse_target(c.phrase), c.expected) << c.phrase;
}

TEST(GridTarget, LowerCasesFullyBeforeMatching) {
    // İ lower-cases to two code points; the anchor keeps them.
    Target t = parse_target("button below İstanbul");
    ASSERT_TRUE(t.anchor_text);
    EXPECT_EQ(*t.anchor_text, "i\u0307stanbul");
    // Non-ASCII whitespace separates words.
    EXPECT_EQ(parse_target("third\u2003input").ordinal, 3);
}

TEST(GridTarget, RelationSearchOrderIsLongestFirst) {
    std::vector<std::string_view> order;
    for (const auto& [phrase, strategy] : relation_search_order()) order.push_back(phrase);
    EXPECT_EQ(order, (std::vector<std::string_view>{"right of", "next to", "left of", "below", "under",
                                                    "above", "near"}));
}

TEST(GridNormalize, RemovesOnlySpacesAndHyphens) {
    EXPECT_EQ(normalize("Sign-up Now"), "signupnow");
    EXPECT_EQ(normalize("E-mail Address"), "emailaddress");
    EXPECT_EQ(normalize(""), "");
    EXPECT_EQ(normalize("a\tB\u00a0C"), "a\tb\u00a0c");
    EXPECT_EQ(normalize("ÄB-c"), "äbc");
}

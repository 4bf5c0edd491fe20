#include <gtest/gtest.h>

#include "fixtures.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/gridfinder/matrix_table.hpp"
#include "tarnwick/gridfinder/resolver.hpp"
#include "tarnwick/gridfinder/value_entries.hpp"

using namespace tarnwick;
using namespace tarnwick::gridfinder;
using namespace tarnwick::gridfinder::testing;

namespace {

std::vector<std::string> texts(const Sequence& m, const std::vector<std::size_t>& positions) {
    std::vector<std::string> out;
    for (std::size_t p : positions) out.push_back(text_of(m, p));
    return out;
}

std::vector<std::size_t> all_but(const Sequence& m, std::size_t anchor) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < m.size(); ++i)
        if (i != anchor) out.push_back(i);
    return out;
}

}  // namespace

TEST(GridFindAnchor, TextTierWinsBeforeInteractablePreference) {
    Sequence m = matrix({entry("input", "", {0, 0, 10, 10}, {{"aria-label", "Email"}}),
                         entry("span", "Email", {0, 20, 50, 10}, {}, true)});
    EXPECT_EQ(find_anchor(ValueEntries(m), "Email"), 1u);
}

TEST(GridFindAnchor, SmallestBoxThenReadingOrder) {
    Sequence m = matrix({entry("button", "OK", {0, 0, 20, 20}), entry("button", "OK", {0, 30, 10, 10}),
                         entry("button", "OK", {0, 50, 10, 10})});
    EXPECT_EQ(find_anchor(ValueEntries(m), "ok"), 1u);
    // Missing sizes count as 999 each.
    Sequence unsized = matrix({entry("button", "OK", {0, 0, 1000, 1000}), Value(Map{{"text", "OK"}, {"position", Map{}}})});
    EXPECT_EQ(find_anchor(ValueEntries(unsized), "ok"), 1u);
}

TEST(GridFindAnchor, PrefixTiersOnlyWhenNothingMatchesExactly) {
    Sequence m = matrix({entry("button", "Cartridge", {0, 0, 10, 10}),
                         entry("button", "Cart (3)", {0, 20, 10, 10}),
                         entry("button", "Cart(2)", {0, 40, 10, 10})});
    // "Cart (3)" and "Cart(2)" both continue the text; equal areas, the first wins.
    EXPECT_EQ(find_anchor(ValueEntries(m), "cart"), 1u);
    Sequence exact = m;
    exact.push_back(entry("button", "Cart", {0, 60, 50, 50}));
    exact = matrix(exact);
    EXPECT_EQ(find_anchor(ValueEntries(exact), "cart"), 3u);
    Sequence by_attribute = matrix({entry("button", "Cart (3)", {0, 0, 10, 10}),
                                    entry("input", "", {0, 20, 10, 10}, {{"placeholder", "CART"}})});
    EXPECT_EQ(find_anchor(ValueEntries(by_attribute), "cart"), 1u);
    Sequence by_attribute_prefix =
        matrix({entry("input", "", {0, 20, 10, 10}, {{"_label", "Cart total"}})});
    EXPECT_EQ(find_anchor(ValueEntries(by_attribute_prefix), "cart"), 0u);
    Sequence untrimmed = matrix({entry("button", " Save", {0, 0, 10, 10})});
    EXPECT_EQ(find_anchor(ValueEntries(untrimmed), "save"), std::nullopt);
}

TEST(GridRank, DirectionsFilterAndOrder) {
    // Anchor at (100,100)-(150,120).
    Sequence m = matrix({
        entry("button", "anchor", {100, 100, 50, 20}),
        entry("button", "below-far", {100, 200, 50, 20}),
        entry("button", "below-touch", {120, 120, 50, 20}),
        entry("button", "below-overlap", {100, 119, 50, 20}),
        entry("button", "above", {100, 50, 50, 20}),
        entry("button", "left", {20, 100, 50, 20}),
        entry("button", "right-far", {400, 105, 50, 20}),
        entry("button", "right-near", {160, 110, 20, 20}),
        entry("button", "below-left-39", {11, 300, 50, 20}),
        entry("button", "below-left-40", {10, 400, 50, 20}),
    });
    ValueEntries e(m);
    auto cands = all_but(m, 0);
    using V = std::vector<std::string>;
    EXPECT_EQ(texts(m, rank(e, cands, 0, "below", {})), (V{"below-touch", "below-far", "below-left-39"}));
    EXPECT_EQ(texts(m, rank(e, cands, 0, "above", {})), (V{"above"}));
    EXPECT_EQ(texts(m, rank(e, cands, 0, "left", {})), (V{"left"}));
    EXPECT_EQ(texts(m, rank(e, cands, 0, "right", {})), (V{"right-near", "right-far"}));
    // next_to: reading order (index), only the first without an ordinal.
    EXPECT_EQ(texts(m, rank(e, cands, 0, "next_to", {})), (V{"right-far"}));
    EXPECT_EQ(texts(m, rank(e, cands, 0, "next_to", 2)), (V{"right-near"}));
    EXPECT_EQ(texts(m, rank(e, cands, 0, "next_to", 3)), V{});
    EXPECT_EQ(texts(m, rank(e, cands, 0, "below", 3)), (V{"below-left-39"}));
    EXPECT_EQ(texts(m, rank(e, cands, 0, "below", 4)), V{});
    EXPECT_EQ(texts(m, rank(e, cands, 0, "sideways", {})), V{});
    EXPECT_EQ(texts(m, rank(e, cands, 0, std::nullopt, {})), V{});
    EXPECT_THROW(rank(e, cands, 0, "below", 0), ValueError);
}

TEST(GridRank, NearLimitsDistanceAndTreeSteps) {
    const char* deep = "/html[1]/body[1]/div[1]";
    Sequence m = matrix({
        entry("button", "anchor", {0, 0, 10, 10}, {}, false, deep),
        entry("button", "at-300", {180, 240, 10, 10}, {}, false, deep),  // 3-4-5 × 60
        entry("button", "beyond", {181, 240, 10, 10}, {}, false, deep),
        entry("button", "close", {10, 0, 10, 10}, {}, false, "/html[1]/x[1]/y[1]/z[1]/a[1]/b[1]/c[1]/d[1]/e[1]"),
        entry("button", "too-deep", {5, 0, 10, 10}, {}, false,
              "/html[1]/x[1]/y[1]/z[1]/a[1]/b[1]/c[1]/d[1]/e[1]/f[1]"),
        entry("button", "no-path", {1, 1, 10, 10}, {}, false, ""),
    });
    ValueEntries e(m);
    EXPECT_EQ(texts(m, rank(e, all_but(m, 0), 0, "near", {})),
              (std::vector<std::string>{"no-path", "close", "at-300"}));
}

TEST(GridResolve, RelationRelaxesTypeOnlyWhenTheTypeExists) {
    Sequence m = matrix({entry("button", "Cart", {0, 0, 50, 20}), entry("button", "Buy", {0, 40, 50, 20}),
                         entry("link", "Help", {500, 500, 50, 20})});
    ValueEntries e(m);
    Resolution r = resolve(e, "link below Cart");
    ASSERT_EQ(r.kind, Resolution::Kind::relation);
    EXPECT_EQ(text_of(m, r.element), "Buy");
    EXPECT_TRUE(r.type_relaxed);
    EXPECT_EQ(r.actual_type, "button");
    EXPECT_EQ(r.anchor_text, "Cart");

    Sequence no_links = matrix({entry("button", "Cart", {0, 0, 50, 20}), entry("button", "Buy", {0, 40, 50, 20})});
    EXPECT_FALSE(resolve(ValueEntries(no_links), "link below Cart").resolved());
}

TEST(GridResolve, OrdinalOnlyPrefersExactTexts) {
    Sequence m = matrix({entry("button", "Submit", {0, 0, 10, 10}), entry("button", "Cancel", {0, 20, 10, 10}),
                         entry("button", "Submit order", {0, 40, 10, 10}),
                         entry("button", "Submit", {0, 60, 10, 10})});
    ValueEntries e(m);
    Resolution r = resolve(e, "second Submit button");
    ASSERT_EQ(r.kind, Resolution::Kind::ordinal);
    EXPECT_EQ(r.element, 3u);
    EXPECT_EQ(r.candidates, (std::vector<std::size_t>{0, 3}));
    Resolution third = resolve(e, "third Submit button");
    EXPECT_EQ(third.element, 3u);  // contained words: Submit, Submit order, Submit
    EXPECT_EQ(third.candidates, (std::vector<std::size_t>{0, 2, 3}));
    EXPECT_FALSE(resolve(e, "fifth button").resolved());
}

TEST(GridResolve, TableAgreesWithLazyReader) {
    Sequence m = matrix({entry("button", "Cart", {0, 0, 50, 20}), entry("button", "Buy", {0, 40, 50, 20}),
                         entry("span", "Total", {100, 0, 40, 20}, {}, true)});
    MatrixTable table(m);
    ValueEntries lazy(m);
    for (std::string_view phrase : {"button below Cart", "first button", "button next to Total", "Save"}) {
        Resolution a = resolve(table, phrase), b = resolve(lazy, phrase);
        EXPECT_EQ(a.kind, b.kind) << phrase;
        EXPECT_EQ(a.candidates, b.candidates) << phrase;
    }
    Sequence broken{Map{{"index", 0}}};
    EXPECT_THROW(MatrixTable{broken}, ValueError);
}

#include <gtest/gtest.h>

#include "fixtures.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/gridfinder/geometry.hpp"
#include "tarnwick/gridfinder/value_entries.hpp"

using namespace tarnwick;
using namespace tarnwick::gridfinder;
using namespace tarnwick::gridfinder::testing;

TEST(GridGeometry, OverlapToleranceIsStrictAtForty) {
    // b ends `gap` pixels above a's top edge.
    for (auto [gap, overlaps] : {std::pair{39, true}, {40, false}, {-5, true}}) {
        Sequence m{entry("button", "a", {0, 100, 10, 10}),
                   entry("button", "b", {0, 100 - gap - 10, 10, 10})};
        ValueEntries e(m);
        EXPECT_EQ(overlaps_vertically(e, 0, 1), overlaps) << gap;
        EXPECT_EQ(overlaps_vertically(e, 1, 0), overlaps) << gap;
        EXPECT_TRUE(overlaps_horizontally(e, 0, 1));
    }
}

TEST(GridGeometry, CentreDistanceIsEuclidean) {
    Sequence m{entry("a", "a", {0, 0, 10, 10}), entry("a", "b", {30, 40, 10, 10})};
    EXPECT_DOUBLE_EQ(centre_distance(ValueEntries(m), 0, 1), 50.0);
}

TEST(GridGeometry, DomDistanceCountsEveryEqualPosition) {
    EXPECT_EQ(dom_distance("/html[1]/body[1]/div[1]/span[1]", "/html[1]/body[1]/div[2]/span[1]"), 2u);
    EXPECT_EQ(dom_distance("/html[1]/body[1]", "/html[1]/body[1]"), 0u);
    EXPECT_EQ(dom_distance("/html[1]/body[1]/div[1]", ""), 4u);
    EXPECT_EQ(dom_distance("", ""), 0u);
    EXPECT_EQ(dom_distance("//a//b/", "a/x/b"), 2u);  // inner empty steps count as steps
}

TEST(GridGeometry, MalformedEntriesAreNamed) {
    Sequence m{Map{{"position", Map{{"y", 0}, {"y2", "ten"}}}}, entry("a", "b", {0, 0, 1, 1})};
    ValueEntries e(m);
    try {
        overlaps_vertically(e, 1, 0);
        FAIL();
    } catch (const TypeError& err) {
        EXPECT_STREQ(err.what(), "matrix[0]['position']['y2'] must be a number, not str");
    }
    Sequence missing{Map{{"index", 0}}, entry("a", "b", {0, 0, 1, 1})};
    EXPECT_THROW(overlaps_vertically(ValueEntries(missing), 0, 1), ValueError);
}

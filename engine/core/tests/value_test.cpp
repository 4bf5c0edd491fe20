#include <gtest/gtest.h>

#include "tarnwick/core/value.hpp"

using namespace tarnwick;

TEST(Map, KeepsInsertionOrderAndOverwritesInPlace) {
    Map m;
    m.set("b", 1);
    m.set("a", 2);
    m.set("b", "three");
    ASSERT_EQ(m.size(), 2u);
    auto it = m.begin();
    EXPECT_EQ(it->key, "b");
    EXPECT_EQ(it->value, Value("three"));
    EXPECT_EQ((++it)->key, "a");
    EXPECT_TRUE(m.erase("b"));
    EXPECT_FALSE(m.contains("b"));
}

TEST(Value, IntegerRealAndAbsentStayDistinct) {
    Map m{{"n", nullptr}, {"i", 8}, {"r", 8.0}};
    Value v(m);
    EXPECT_TRUE(v.get("n")->is_null());
    EXPECT_EQ(v.get("missing"), nullptr);
    EXPECT_TRUE(v.get("i")->is_integer());
    EXPECT_TRUE(v.get("r")->is_real());
    EXPECT_NE(*v.get("i"), *v.get("r"));
    EXPECT_DOUBLE_EQ(v.get("i")->as_number(), 8.0);
}

TEST(Value, TruthinessFollowsPython) {
    EXPECT_FALSE(Value().truthy());
    EXPECT_FALSE(Value(0).truthy());
    EXPECT_FALSE(Value("").truthy());
    EXPECT_FALSE(Value(Map{}).truthy());
    EXPECT_TRUE(Value(Sequence{Value()}).truthy());
    EXPECT_TRUE(Value(-0.5).truthy());
}

#include "tarnwick/layoutfinder/spatial_strategy.hpp"

#include <gtest/gtest.h>

#include "tarnwick/core/errors.hpp"

using tarnwick::TypeError;
using tarnwick::layoutfinder::Argument;
using tarnwick::layoutfinder::SpatialStrategy;
using Kind = Argument::Kind;

namespace {

const Argument kMap{Kind::map, "dict"};
const Argument kList{Kind::sequence, "list"};
const Argument kNone{Kind::null, "NoneType"};

std::string message_of(const Argument& a, const Argument& b, const Argument& c) {
    try {
        SpatialStrategy().resolve(a, b, c);
    } catch (const TypeError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(LayoutSpatialStrategy, AnswersAbsentForArgumentsOfTheRightKinds) {
    EXPECT_FALSE(SpatialStrategy().resolve(kMap, kMap, kList).has_value());
}

TEST(LayoutSpatialStrategy, NamesTheFirstArgumentOfTheWrongKind) {
    EXPECT_EQ(message_of(kNone, kMap, kList), "parsed_instruction must be a dict, not NoneType");
    EXPECT_EQ(message_of(kMap, kList, kList), "matrix must be a dict, not list");
    EXPECT_EQ(message_of(kMap, kMap, kMap), "dom_candidates must be a list, not dict");
    EXPECT_EQ(message_of(kList, kNone, kNone), "parsed_instruction must be a dict, not list");
}

#include "tarnwick/reporter/format.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace rep = tarnwick::reporter;

TEST(ReporterFormat, RunDurationAsPythonPrintsRoundedFloat) {
    struct Case {
        double seconds;
        const char* text;
    };
    const Case cases[] = {
        {3.14159, "3.14"}, {2.5, "2.5"},     {7.0, "7.0"},    {0.001, "0.0"},
        {5.0, "5.0"},      {0.125, "0.12"},  {2.675, "2.67"}, {12.999, "13.0"},
        {0.0, "0.0"},      {-0.001, "-0.0"}, {1e20, "1e+20"}, {100.10, "100.1"},
    };
    for (const Case& c : cases) EXPECT_EQ(rep::run_duration(c.seconds), c.text) << c.seconds;
    EXPECT_EQ(rep::run_duration(INFINITY), "inf");
}

TEST(ReporterFormat, TestDurationHasTwoDecimals) {
    EXPECT_EQ(rep::test_duration(1.234), "1.23");
    EXPECT_EQ(rep::test_duration(0.5), "0.50");
    EXPECT_EQ(rep::test_duration(0.0), "0.00");
    EXPECT_EQ(rep::test_duration(0.005), "0.01");  // 0.005 is a little above the half
    EXPECT_EQ(rep::test_duration(0.125), "0.12");
    EXPECT_EQ(rep::test_duration(61.0), "61.00");
}

TEST(ReporterFormat, PassRateRoundsHalfToEven) {
    EXPECT_EQ(rep::pass_rate(0, 0), 0);
    EXPECT_EQ(rep::pass_rate(1, 8), 12);
    EXPECT_EQ(rep::pass_rate(3, 8), 38);
    EXPECT_EQ(rep::pass_rate(2, 3), 67);
    EXPECT_EQ(rep::pass_rate(2, 4), 50);
    EXPECT_EQ(rep::pass_rate(1, 200), 0);  // 0.5 -> 0
    EXPECT_EQ(rep::pass_rate(3, 200), 2);  // 1.5 -> 2
    EXPECT_EQ(rep::pass_rate(5, 5), 100);
}

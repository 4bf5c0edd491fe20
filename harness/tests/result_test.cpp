#include "tarnwick/reporter/result.hpp"

#include <gtest/gtest.h>

namespace rep = tarnwick::reporter;

TEST(ReporterResult, RecordsCallPhasesAndFailedSetupsOnly) {
    struct Case {
        const char* when;
        bool failed;
        bool recorded;
    };
    const Case cases[] = {
        {"call", false, true},   {"call", true, true},      {"setup", true, true},
        {"setup", false, false}, {"teardown", true, false}, {"teardown", false, false},
        {"", false, false},      {"Call", false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rep::is_recorded(c.when, c.failed), c.recorded)
            << c.when << " failed=" << c.failed;
}

TEST(ReporterResult, SplitsNodeIdAtTheFirstSeparator) {
    struct Case {
        const char* nodeid;
        const char* file;
        const char* test;
    };
    const Case cases[] = {
        {"pkg/test_x.py::TestA::test_b", "pkg/test_x.py", "TestA::test_b"},
        {"tests/test_login.py::test_ok[chrome]", "tests/test_login.py", "test_ok[chrome]"},
        {"test_x.py", "test_x.py", ""},
        {"a.py::", "a.py", ""},
        {"a.py:::b", "a.py", ":b"},
        {"a.py::t[x::y]", "a.py", "t[x::y]"},
    };
    for (const Case& c : cases) {
        auto parts = rep::split_nodeid(c.nodeid);
        EXPECT_EQ(parts.file, c.file) << c.nodeid;
        EXPECT_EQ(parts.test, c.test) << c.nodeid;
    }
}

TEST(ReporterResult, StatusPrefersPassedThenFailed) {
    EXPECT_EQ(rep::status_of(true, false), "passed");
    EXPECT_EQ(rep::status_of(true, true), "passed");
    EXPECT_EQ(rep::status_of(false, true), "failed");
    EXPECT_EQ(rep::status_of(false, false), "skipped");
}

TEST(ReporterResult, LastLineOfTrimmedText) {
    EXPECT_EQ(rep::last_line("Traceback\n  frame\nE   boom\n\n  \n"), "E   boom");
    EXPECT_EQ(rep::last_line("first\n    indented last\n\n"), "    indented last");
    EXPECT_EQ(rep::last_line("  single  "), "single");
    EXPECT_EQ(rep::last_line(""), "");
    // Python's whitespace set: NBSP trims, and a lone CR is not a line feed.
    EXPECT_EQ(rep::last_line("a\nb\r c\u00a0"), "b\r c");
}

TEST(ReporterResult, RecordKeysInFixedOrder) {
    tarnwick::Map r = rep::make_result("a.py::T::t", "failed", 0.25, "boom", "setup");
    std::vector<std::string> keys;
    for (const auto& e : r) keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"nodeid", "file", "test", "status", "duration",
                                              "message", "when"}));
    EXPECT_EQ(r.find("file")->as_text(), "a.py");
    EXPECT_EQ(r.find("test")->as_text(), "T::t");
    EXPECT_TRUE(r.find("duration")->is_real());
    EXPECT_EQ(r.find("duration")->as_real(), 0.25);
    EXPECT_EQ(r.find("message")->as_text(), "boom");
    EXPECT_EQ(r.find("when")->as_text(), "setup");
}

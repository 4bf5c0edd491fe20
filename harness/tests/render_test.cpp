#include "tarnwick/reporter/render.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rep = tarnwick::reporter;

namespace {

std::size_t count(const std::string& hay, std::string_view needle) {
    std::size_t n = 0;
    for (std::size_t p = hay.find(needle); p != std::string::npos;
         p = hay.find(needle, p + needle.size()))
        ++n;
    return n;
}

bool has(const std::string& hay, std::string_view needle) {
    return hay.find(needle) != std::string::npos;
}

}  // namespace

TEST(ReporterRender, EmptyRunStillHasSummaryScriptAndStyles) {
    std::string html = rep::render_report({}, 5.0);
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>"));
    EXPECT_TRUE(has(html, "<title>tarnwick \u2014 Test Report</title>"));
    EXPECT_TRUE(has(html, "<div class=\"meta\">Completed in 5.0s</div>"));
    EXPECT_TRUE(has(html,
                    "<div class=\"card rate\"><div class=\"label\">Pass Rate</div><div "
                    "class=\"value\">0%</div>"));
    EXPECT_TRUE(has(html,
                    "<div class=\"card time\"><div class=\"label\">Duration</div><div "
                    "class=\"value\">5.0s</div>"));
    EXPECT_TRUE(has(html, "<div class=\"groups\" id=\"groups\">\n</div>"));
    EXPECT_TRUE(has(html, "function toggleSteps(id, btn)"));
    EXPECT_TRUE(has(html, ".collapsed-body { display: none; }"));
    EXPECT_EQ(count(html, "class=\"file-group\""), 0u);
}

TEST(ReporterRender, GroupsByFirstOccurrenceAndCountsPerFile) {
    std::vector<rep::ResultView> results = {
        {"a.py", "t1", "passed", 0.5, {}},
        {"b.py", "t2", "failed", 1.234, {}},
        {"a.py", "t3", "skipped", 0.0, {}},
    };
    std::string html = rep::render_report(results, 3.14159);
    std::size_t a = html.find("<div class=\"file-group\" data-file=\"a.py\">");
    std::size_t b = html.find("<div class=\"file-group\" data-file=\"b.py\">");
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_LT(html.find(">t1<"), html.find(">t3<"));
    EXPECT_LT(html.find(">t3<"), b);
    EXPECT_TRUE(has(html,
                    "<span class=\"badge passed\">1 passed</span><span class='badge skipped'>1 "
                    "skipped</span></span>"));
    EXPECT_TRUE(has(html,
                    "<span class=\"badge passed\">0 passed</span><span class='badge failed'>1 "
                    "failed</span></span>"));
    EXPECT_TRUE(has(html, "<td class=\"duration\">0.50s</td>"));
    EXPECT_TRUE(has(html, "<td class=\"duration\">1.23s</td>"));
    EXPECT_TRUE(has(html, "Completed in 3.14s"));
    EXPECT_TRUE(has(html, "<div class=\"value\">33%</div>"));
}

TEST(ReporterRender, StepsRowMatchesButtonAndShowsMessageAndScreenshot) {
    std::vector<rep::StepView> steps = {
        {"click Login button", "passed", "", ""},
        {"verify \"Products\" is present", "failed", "not found", "iVBORw0KGgo="},
        {"hover Menu", "error", "", ""},
    };
    std::vector<rep::ResultView> results = {
        {"tests/test_a.py", "test_x", "passed", 0.1, {}},
        {"tests/test_a.py", "test_y", "failed", 0.2, steps},
    };
    std::string html = rep::render_report(results, 1.0);
    EXPECT_TRUE(
        has(html, "onclick=\"toggleSteps('steps-tests/test_a.py-1', this)\">view steps</button>"));
    EXPECT_TRUE(has(html, "<tr class=\"steps-container hidden\" id=\"steps-tests/test_a.py-1\">"));
    EXPECT_EQ(count(html, "expand-btn\""), 1u);
    EXPECT_TRUE(has(html,
                    "<td class=\"step-text\">verify &quot;Products&quot; is present<div "
                    "class=\"step-msg\">not found</div>"
                    "<div class=\"step-screenshot\"><img "
                    "src=\"data:image/png;base64,iVBORw0KGgo=\" alt=\"screenshot\"/></div></td>"));
    EXPECT_TRUE(has(html, "<span class=\"icon error\" style=\"font-size:11px\">\u2717</span>"));
    EXPECT_TRUE(has(html, "<td class=\"step-text\">click Login button</td>"));
}

TEST(ReporterRender, InsertedValuesAreEscapedForTheirPlace) {
    std::vector<rep::StepView> steps = {
        {"<script>alert(1)</script>", "x\" onmouseover=\"alert(1)", "</div><b>", ""}};
    std::vector<rep::ResultView> results = {
        {"t'); alert(1);//.py", "test[<b>&]", "passed", 0.0, steps}};
    std::string html = rep::render_report(results, 0.0);
    EXPECT_FALSE(has(html, "<script>alert"));
    EXPECT_FALSE(has(html, "<b>"));
    EXPECT_TRUE(has(html, "test[&lt;b&gt;&amp;]"));
    EXPECT_TRUE(has(html, "toggleSteps('steps-t\\x27); alert(1);//.py-0', this)"));
    EXPECT_TRUE(has(html, "id=\"steps-t&#x27;); alert(1);//.py-0\""));
    EXPECT_TRUE(has(html, "class=\"icon x&quot; onmouseover=&quot;alert(1)\""));
}

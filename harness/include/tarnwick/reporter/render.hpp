// The HTML report: one self-contained document (inline styles and script,
// screenshots as data URLs) built from the run's results and the steps the
// agents recorded.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tarnwick::reporter {

// One executed step as the report reads it. An empty message or screenshot
// is not shown.
struct StepView {
    std::string_view instruction;
    std::string_view status;
    std::string_view message;
    std::string_view screenshot;  // Base64 PNG without the data-URL prefix
};

// One recorded test with the steps joined to it by node id.
struct ResultView {
    std::string_view file;
    std::string_view test;
    std::string_view status;
    double duration = 0.0;
    std::span<const StepView> steps;
};

inline constexpr std::string_view kPageTitle = "tarnwick \u2014 Test Report";

// The whole document. `elapsed_seconds` is the run time shown in the
// header and the Duration card.
std::string render_report(std::span<const ResultView> results, double elapsed_seconds);

}  // namespace tarnwick::reporter

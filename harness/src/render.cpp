#include "tarnwick/reporter/render.hpp"

#include <string>
#include <unordered_map>
#include <vector>

#include "report_assets.hpp"
#include "tarnwick/reporter/escape.hpp"
#include "tarnwick/reporter/format.hpp"

namespace tarnwick::reporter {

namespace {

struct Counts {
    std::size_t passed = 0, failed = 0, skipped = 0;

    void add(std::string_view status) {
        passed += status == "passed";
        failed += status == "failed";
        skipped += status == "skipped";
    }
};

struct FilterButton {
    std::string_view extra_class, status, text;
};

constexpr FilterButton kFilterButtons[] = {{"active", "all", "All"},
                                           {"passed", "passed", "Passed"},
                                           {"failed", "failed", "Failed"},
                                           {"skipped", "skipped", "Skipped"}};

std::string_view test_mark(std::string_view status) {
    if (status == "passed") return "\u2713";
    if (status == "failed") return "\u2717";
    if (status == "skipped") return "\u25CB";
    return "?";
}

std::string_view step_mark(std::string_view status) {
    return status == "passed" ? "\u2713" : "\u2717";
}

// Groups by file in order of first occurrence; records keep results order.
std::vector<std::vector<const ResultView*>> group_by_file(std::span<const ResultView> results) {
    std::vector<std::vector<const ResultView*>> groups;
    std::unordered_map<std::string_view, std::size_t> index;
    for (const ResultView& r : results) {
        auto [it, inserted] = index.try_emplace(r.file, groups.size());
        if (inserted) groups.emplace_back();
        groups[it->second].push_back(&r);
    }
    return groups;
}

class Writer {
  public:
    explicit Writer(std::size_t reserve) { out_.reserve(reserve); }

    Writer& raw(std::string_view s) {
        out_ += s;
        return *this;
    }
    Writer& text(std::string_view s) {
        append_html(out_, s);
        return *this;
    }
    Writer& number(std::size_t n) {
        out_ += std::to_string(n);
        return *this;
    }
    Writer& js(std::string_view s) {
        append_js_string(out_, s);
        return *this;
    }
    std::string take() { return std::move(out_); }

  private:
    std::string out_;
};

void write_card(Writer& w, std::string_view kind, std::string_view label, std::string_view value) {
    w.raw("<div class=\"card ").raw(kind).raw("\"><div class=\"label\">").raw(label);
    w.raw("</div><div class=\"value\">").raw(value).raw("</div></div>\n");
}

void write_steps_row(Writer& w, const std::string& steps_id, std::span<const StepView> steps) {
    w.raw("<tr class=\"steps-container hidden\" id=\"").text(steps_id).raw("\">");
    w.raw("<td colspan=\"4\" style=\"padding:0 16px 12px 40px\">");
    w.raw("<table class=\"steps-table\"><tbody>\n");
    for (const StepView& s : steps) {
        w.raw("<tr class=\"step-row\"><td><span class=\"icon ").text(s.status);
        w.raw("\" style=\"font-size:11px\">").raw(step_mark(s.status)).raw("</span></td>");
        w.raw("<td class=\"step-text\">").text(s.instruction);
        if (!s.message.empty()) w.raw("<div class=\"step-msg\">").text(s.message).raw("</div>");
        if (!s.screenshot.empty()) {
            w.raw("<div class=\"step-screenshot\"><img src=\"data:image/png;base64,")
                .text(s.screenshot);
            w.raw("\" alt=\"screenshot\"/></div>");
        }
        w.raw("</td></tr>\n");
    }
    w.raw("</tbody></table></td></tr>\n");
}

void write_test_row(Writer& w, const ResultView& r, std::size_t idx) {
    w.raw("<tr class=\"test-row\" data-status=\"").text(r.status);
    w.raw("\" data-file=\"").text(r.file).raw("\">");
    w.raw("<td><span class=\"icon ").text(r.status).raw("\">");
    w.raw(test_mark(r.status)).raw("</span></td>");
    w.raw("<td class=\"test-name\">").text(r.test).raw("</td><td>");
    std::string steps_id;
    if (!r.steps.empty()) {
        steps_id.reserve(r.file.size() + 16);
        steps_id.append("steps-").append(r.file).append("-").append(std::to_string(idx));
        // The id travels as a JavaScript string inside the attribute; the
        // steps row carries the same id, HTML-escaped, so both name one row.
        w.raw("<button class=\"expand-btn\" onclick=\"toggleSteps(").js(steps_id);
        w.raw(", this)\">view steps</button>");
    }
    w.raw("</td><td><span class=\"badge ").text(r.status).raw("\">");
    w.text(r.status).raw("</span></td>");
    w.raw("<td class=\"duration\">").raw(test_duration(r.duration)).raw("s</td></tr>\n");
    if (!r.steps.empty()) write_steps_row(w, steps_id, r.steps);
}

void write_group(Writer& w, const std::vector<const ResultView*>& records) {
    std::string_view file = records.front()->file;
    Counts counts;
    for (const ResultView* r : records) counts.add(r->status);

    w.raw("<div class=\"file-group\" data-file=\"").text(file).raw("\">\n");
    w.raw("<div class=\"file-header\" onclick=\"toggleGroup(this)\">");
    w.raw("<span class=\"chevron\">\u25BC</span>");
    w.raw("<span class=\"file-name\">").text(file).raw("</span><span class=\"file-counts\">");
    w.raw("<span class=\"badge passed\">").number(counts.passed).raw(" passed</span>");
    if (counts.failed != 0)
        w.raw("<span class='badge failed'>").number(counts.failed).raw(" failed</span>");
    if (counts.skipped != 0)
        w.raw("<span class='badge skipped'>").number(counts.skipped).raw(" skipped</span>");
    w.raw("</span></div>\n<table class=\"test-table\">\n");
    w.raw("<colgroup><col><col><col><col><col></colgroup>\n");
    w.raw("<thead><tr><th></th><th>Test</th><th></th><th>Status</th><th>Duration</th></tr>");
    w.raw("</thead>\n<tbody>\n");
    for (std::size_t idx = 0; idx < records.size(); ++idx) write_test_row(w, *records[idx], idx);
    w.raw("</tbody>\n</table>\n</div>\n");
}

std::size_t estimate_size(std::span<const ResultView> results) {
    std::size_t n = 8192;
    for (const ResultView& r : results) {
        // Fixed markup per row plus the inserted values; a little over is
        // cheaper than growing a string of many megabytes.
        n += 560 + 3 * r.file.size() + r.test.size() + 3 * r.status.size();
        for (const StepView& s : r.steps)
            n += 240 + s.instruction.size() + s.status.size() + s.message.size() +
                 s.screenshot.size();
    }
    return n;
}

}  // namespace

std::string render_report(std::span<const ResultView> results, double elapsed_seconds) {
    Counts totals;
    for (const ResultView& r : results) totals.add(r.status);
    const std::string duration = run_duration(elapsed_seconds);
    const std::string rate = std::to_string(pass_rate(totals.passed, results.size())) + "%";

    Writer w(estimate_size(results));
    w.raw("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"UTF-8\">\n");
    w.raw("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0\">\n");
    w.raw("<title>").raw(kPageTitle).raw("</title>\n");
    w.raw("<style>").raw(assets::kStylesheet).raw("</style>\n");
    w.raw("</head>\n<body>\n");

    w.raw("<div class=\"header\">\n<h1>").raw(kPageTitle).raw("</h1>\n");
    w.raw("<div class=\"meta\">Completed in ").raw(duration).raw("s</div>\n</div>\n");

    w.raw("<div class=\"summary\">\n");
    write_card(w, "total", "Total", std::to_string(results.size()));
    write_card(w, "passed", "Passed", std::to_string(totals.passed));
    write_card(w, "failed", "Failed", std::to_string(totals.failed));
    write_card(w, "skipped", "Skipped", std::to_string(totals.skipped));
    write_card(w, "rate", "Pass Rate", rate);
    write_card(w, "time", "Duration", duration + "s");
    w.raw("</div>\n");

    w.raw("<div class=\"filters\">\n<label>Filter:</label>\n");
    for (const FilterButton& f : kFilterButtons) {
        w.raw("<button class=\"filter-btn ").raw(f.extra_class).raw("\" onclick=\"filter('");
        w.raw(f.status).raw("', this)\">").raw(f.text).raw("</button>\n");
    }
    w.raw("</div>\n");

    w.raw("<div class=\"groups\" id=\"groups\">\n");
    for (const auto& group : group_by_file(results)) write_group(w, group);
    w.raw("</div>\n");

    w.raw("<script>").raw(assets::kScript).raw("</script>\n</body>\n</html>\n");
    return w.take();
}

}  // namespace tarnwick::reporter

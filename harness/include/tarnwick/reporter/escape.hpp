// Escaping of values inserted into the report. Test ids, file paths, step
// instructions and messages come from test authors and parametrisation, so
// none of them may add markup or script to the report.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::reporter {

// Appends `s` safe for HTML text and for a double- or single-quoted
// attribute value (& < > " ' as Python's html.escape writes them).
void append_html(std::string& out, std::string_view s);
std::string html_escape(std::string_view s);

// Appends `s` as a single-quoted JavaScript string literal, quotes
// included. Every character that could end the literal, the attribute or
// the script element is written as an escape, so the literal also needs no
// further HTML escaping inside an event-handler attribute.
void append_js_string(std::string& out, std::string_view s);
std::string js_string(std::string_view s);

}  // namespace tarnwick::reporter

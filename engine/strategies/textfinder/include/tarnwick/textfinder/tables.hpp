// Constant tables of Level 1 resolution. Membership tests are exact and
// case-sensitive; callers lower-case first where a rule says so.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace tarnwick::textfinder {

// Words that only name an element type ("login button" is matched as "login").
inline constexpr std::array<std::string_view, 18> kTypeDescriptors = {
    "input", "field", "button", "btn",    "box",     "link",  "dropdown", "select",  "checkbox",
    "radio", "textarea", "textbox", "area", "icon", "control", "widget", "form", "element"};

// Attributes whose values are surfaces, in the order they are tried.
inline constexpr std::array<std::string_view, 6> kMatchAttributes = {
    "aria-label", "_label", "placeholder", "data-testid", "type", "alt"};

// Tags a text beside an anchor may have.
inline constexpr std::array<std::string_view, 14> kTextOnlyTags = {
    "span", "p", "label", "h1", "h2", "h3", "h4", "h5", "h6", "li", "td", "th", "div", "a"};

// Largest tree distance between an anchor and the text read beside it.
inline constexpr std::int64_t kDomDistanceThreshold = 10;

inline constexpr std::array<std::string_view, 2> kTypeableTags = {"input", "textarea"};
inline constexpr std::array<std::string_view, 4> kTypeableRoles = {"textbox", "searchbox",
                                                                   "spinbutton", "combobox"};
inline constexpr std::array<std::string_view, 1> kSelectableTags = {"select"};

template <std::size_t N>
constexpr bool in_table(const std::array<std::string_view, N>& table, std::string_view word) {
    return std::find(table.begin(), table.end(), word) != table.end();
}

}  // namespace tarnwick::textfinder

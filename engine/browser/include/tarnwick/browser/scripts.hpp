// Selectors, attribute tables and the page functions the reader sends to the
// browser. The texts are part of the reader's contract: callers and tests
// read them through the Python module under the same names.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tarnwick::browser {

inline constexpr std::array<std::string_view, 5> kNativeTags = {"button", "input", "a", "select",
                                                                  "textarea"};
inline constexpr std::array<std::string_view, 13> kAriaRoles = {
    "button", "link",     "textbox",    "checkbox",   "menuitem", "menuitemcheckbox", "menuitemradio",
    "option", "combobox", "searchbox",  "spinbutton", "switch",   "tab"};
inline constexpr std::array<std::string_view, 13> kCapturedAttributes = {
    "id",   "name", "type",  "placeholder", "aria-label",  "aria-labelledby", "title",
    "role", "href", "value", "class",       "data-testid", "alt"};
inline constexpr std::array<std::string_view, 15> kTextTags = {
    "h1", "h2", "h3", "h4", "h5", "h6", "p", "span", "label", "li", "td", "th", "a", "button", "div"};
inline constexpr std::array<std::string_view, 4> kTextAttributes = {"id", "class", "href", "aria-label"};

inline constexpr std::string_view kCustomInputSelector =
    "span[class*='editable'], div[class*='editable'], span[class*='input'], div[class*='input']";
inline constexpr std::string_view kLabelCandidateSelector = "h1, h2, h3, h4, h5, h6, label, div, span, p";

// The five native tags, one [role="…"] per role, then images and test ids.
const std::string& interactable_selector();
// The text tags joined with ", ".
const std::string& text_selector();

// Page functions taking the element.
extern const std::string_view kTagNameJs;
extern const std::string_view kDataAttributesJs;
extern const std::string_view kXPathJs;
extern const std::string_view kDirectTextJs;
extern const std::string_view kPrecedingSiblingTextJs;
extern const std::string_view kParentEarlierChildTextJs;
// Page function taking nothing: the clickable-container scan.
extern const std::string_view kCursorPointerJs;
// Page function taking nothing: every fact the reader needs, gathered in one
// call and returned as a JSON text (see memory_page.hpp for its layout).
const std::string& bulk_read_js();

}  // namespace tarnwick::browser

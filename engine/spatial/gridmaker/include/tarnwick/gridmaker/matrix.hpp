// The spatial matrix: every element of the page that has a bounding box, in
// natural reading order (top to bottom, then left to right), with the few
// derived values the spatial resolver compares.
//
// The core works on the fields it reads, borrowed as views; it never copies
// the element records. A binding reads those fields from its own objects and
// builds each entry around the caller's record (`Entry::source`).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tarnwick/core/number.hpp"

namespace tarnwick::gridmaker {

// Tag → element type, in table order. Tags without a row are their own type.
inline constexpr std::pair<std::string_view, std::string_view> kTagToType[] = {
    {"a", "link"}, {"button", "button"}, {"input", "input"}, {"select", "select"},
    {"textarea", "input"},
};

// The fields of one element record that the matrix reads; absent keys are
// empty texts and zero coordinates.
struct ElementFields {
    std::string_view tag;
    std::string_view text;
    std::string_view label;  // attributes → _label
    std::string_view role;
    std::string_view type;
    std::string_view aria_label;
    std::string_view placeholder;
    std::string_view name;
    bool is_enabled = true;
    bool has_box = false;  // false: box absent, null or an empty map
    Number x, y, width, height;
};

struct Position {
    Number x, y, w, h;
    double cx = 0.0, cy = 0.0;
    Number x2, y2;
};

Position position(Number x, Number y, Number width, Number height);

// Explicit roles first, then submit-like inputs, then the tag table;
// comparisons are exact and case-sensitive.
std::string_view element_type(std::string_view tag, std::string_view role,
                              std::string_view input_type);
inline std::string_view element_type(const ElementFields& f) {
    return element_type(f.tag, f.role, f.type);
}

// Text, label, aria-label, placeholder and name joined by single spaces,
// empty parts dropped, the whole trimmed; inner whitespace stays.
std::string searchable(const ElementFields& f);

struct Entry {
    bool is_text = false;     // from the text elements (anchor only)
    std::size_t source = 0;   // position in its input sequence
    std::size_t index = 0;
    std::size_t order_in_type = 0;
    std::string_view element_type;  // a view into the input or a constant
    std::string searchable;
    Position position;
};

inline constexpr std::string_view kTextType = "text";

// Interactable entries, then text entries, stably sorted by the raw
// top-left corner (y, x), numbered, and counted per element type. Records
// without a usable box get no entry.
std::vector<Entry> build(std::span<const ElementFields> dom, std::span<const ElementFields> texts);

}  // namespace tarnwick::gridmaker

// Surface enumeration and matching, shared by the module functions and by
// every resolution path. Surfaces are produced lazily, in matching order, so
// a match stops at the first surface that contains the target; derived
// surfaces are built in a caller-owned buffer to avoid per-element allocation.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records.hpp"
#include "tarnwick/core/text.hpp"
#include "tarnwick/core/value.hpp"
#include "tarnwick/textfinder/tables.hpp"

namespace tarnwick::textfinder::detail {

inline bool is_ascii(std::string_view s) {
    for (char ch : s)
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
    return true;
}

// str.lower() into `out`, reusing its storage on the common ASCII path.
inline void lower_into(std::string_view s, std::string& out) {
    if (is_ascii(s)) {
        out.assign(s);
        for (char& ch : out)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    } else {
        out = text::lower(s);
    }
}

// Python's ASCII whitespace, inline for the common case.
inline bool is_ascii_space(unsigned char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x1F);
}

// Calls f(word) for each piece of `s` between runs of whitespace, also
// cutting at "_" and "-" when `cut_joiners` is set (the same as replacing
// them by spaces first, since a space is whitespace).
template <class F>
void for_each_word(std::string_view s, bool cut_joiners, F&& f) {
    std::size_t pos = 0;
    std::size_t start = std::string_view::npos;
    while (pos < s.size()) {
        std::size_t here = pos;
        unsigned char b = static_cast<unsigned char>(s[pos]);
        bool separator;
        if (b < 0x80) {
            ++pos;
            separator = is_ascii_space(b) || (cut_joiners && (b == '_' || b == '-'));
        } else {
            separator = text::is_space(text::next_code_point(s, pos));
        }
        if (separator) {
            if (start != std::string_view::npos) f(s.substr(start, here - start));
            start = std::string_view::npos;
        } else if (start == std::string_view::npos) {
            start = here;
        }
    }
    if (start != std::string_view::npos) f(s.substr(start));
}

inline bool keeps_piece(std::string_view piece, std::size_t min_length) {
    if (is_ascii(piece)) {
        if (piece.size() < min_length) return false;
        for (char ch : piece)
            if (ch >= '0' && ch <= '9') return false;
        return true;
    }
    return text::length(piece) >= min_length && !text::has_digit(piece);
}

inline void append_piece(std::string& out, std::string_view piece, bool joiners_to_spaces) {
    if (!out.empty()) out.push_back(' ');
    std::size_t from = out.size();
    out.append(piece);
    if (joiners_to_spaces)
        for (std::size_t i = from; i < out.size(); ++i)
            if (out[i] == '_' || out[i] == '-') out[i] = ' ';
}

// Class tokens are judged whole ("css-1x2y3z" has a digit), then their
// joiners become spaces.
inline void class_surface(std::string_view cls, std::string& out) {
    out.clear();
    for_each_word(cls, false, [&](std::string_view token) {
        if (keeps_piece(token, 4)) append_piece(out, token, true);
    });
}

// Ids and data-attribute names are cut at joiners first, so each piece is
// judged on its own ("user_name" keeps both halves).
inline void joined_pieces_surface(std::string_view s, std::size_t min_length, std::string& out) {
    out.clear();
    for_each_word(s, true, [&](std::string_view piece) {
        if (keeps_piece(piece, min_length)) append_piece(out, piece, false);
    });
}

// The attribute entries surfaces come from, found in one pass over the map.
struct AttributeSlots {
    const Value* match[kMatchAttributes.size()] = {};
    const Value* cls = nullptr;
    const Value* id = nullptr;
    bool has_data_names = false;

    explicit AttributeSlots(const Map& attributes) {
        for (const auto& entry : attributes) {
            std::string_view key = entry.key;
            if (key.starts_with("data-")) {
                if (key != "data-testid") {
                    has_data_names = true;
                    continue;
                }
            } else if (key == "class") {
                cls = &entry.value;
                continue;
            } else if (key == "id") {
                id = &entry.value;
                continue;
            }
            for (std::size_t k = 0; k < kMatchAttributes.size(); ++k)
                if (key == kMatchAttributes[k]) match[k] = &entry.value;
        }
    }
};

inline bool any_raw(std::string_view) { return true; }

// Calls f(surface) for each surface in order until f returns true. A derived
// surface is built only when may_match(raw) allows it, `raw` being the
// attribute value (or data-attribute name) it would be derived from.
template <class F, class MayMatch = bool (*)(std::string_view)>
bool visit_surfaces(const Map& element, bool include_label, const RecordName& name,
                    std::string& buffer, F&& f, MayMatch may_match = any_raw) {
    const Value* text_value = nullptr;
    const Value* attributes_value = nullptr;
    for (const auto& entry : element) {
        if (entry.key == "text") text_value = &entry.value;
        else if (entry.key == "attributes") attributes_value = &entry.value;
    }
    if (text_value && !text_value->is_null()) {
        if (!text_value->is_text()) text_key(element, "text", name);  // raises
        std::string_view txt = text_value->as_text();
        if (!txt.empty() && f(txt)) return true;
    }
    if (!attributes_value || attributes_value->is_null()) return false;
    const Map& attributes = *map_key(element, "attributes", name);
    AttributeSlots slots(attributes);
    for (std::size_t k = 0; k < kMatchAttributes.size(); ++k) {
        if (!include_label && kMatchAttributes[k] == "_label") continue;
        std::string_view v = attribute_text(slots.match[k], kMatchAttributes[k], name);
        if (!v.empty() && f(v)) return true;
    }
    std::string_view cls = attribute_text(slots.cls, "class", name);
    if (!cls.empty() && may_match(cls)) {
        class_surface(cls, buffer);
        if (!buffer.empty() && f(std::string_view(buffer))) return true;
    }
    std::string_view id = attribute_text(slots.id, "id", name);
    if (!id.empty() && may_match(id)) {
        joined_pieces_surface(id, 4, buffer);
        if (!buffer.empty() && f(std::string_view(buffer))) return true;
    }
    if (!slots.has_data_names) return false;
    for (const auto& entry : attributes) {
        std::string_view key = entry.key;
        if (!key.starts_with("data-") || key == "data-testid" || !may_match(key.substr(5)))
            continue;
        joined_pieces_surface(key.substr(5), 2, buffer);
        if (!buffer.empty() && f(std::string_view(buffer))) return true;
    }
    return false;
}

// The target lower-cased with "_" and "-" read as spaces; not trimmed.
inline std::string normalised_target(std::string_view target) {
    std::string out = text::lower(target);
    for (char& ch : out)
        if (ch == '_' || ch == '-') ch = ' ';
    return out;
}

// Does lower(hay) contain `lowered_needle`, for an ASCII `hay`?
inline bool ascii_lower_contains(std::string_view hay, std::string_view lowered_needle) {
    if (lowered_needle.empty()) return true;
    if (lowered_needle.size() > hay.size()) return false;
    auto low = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    char first = lowered_needle[0];
    for (std::size_t i = 0; i + lowered_needle.size() <= hay.size(); ++i) {
        if (low(hay[i]) != first) continue;
        std::size_t k = 1;
        while (k < lowered_needle.size() && low(hay[i + k]) == lowered_needle[k]) ++k;
        if (k == lowered_needle.size()) return true;
    }
    return false;
}

// Matches one target against many elements, reusing its buffers.
//
// Derived surfaces are joined pieces of a raw value with "_" and "-" turned
// into spaces, and their only whitespace is the single space. So a surface
// derived from an ASCII value can hold the target only when every run of the
// target between spaces occurs in the lower-cased value; checking that first
// skips building almost every derived surface.
class SurfaceMatcher {
public:
    SurfaceMatcher(std::string_view target, bool include_label)
        : needle_(normalised_target(target)), include_label_(include_label) {
        for_each_space_run(needle_, [&](std::string_view run) { runs_.push_back(run); });
    }
    SurfaceMatcher(const SurfaceMatcher&) = delete;  // runs_ point into needle_
    SurfaceMatcher& operator=(const SurfaceMatcher&) = delete;

    bool contains(const Map& element, const RecordName& name) {
        return visit_surfaces(
            element, include_label_, name, derived_,
            [&](std::string_view s) {
                if (is_ascii(s)) return ascii_lower_contains(s, needle_);
                lower_into(s, lowered_);
                return lowered_.find(needle_) != std::string::npos;
            },
            [&](std::string_view raw) { return may_hold_needle(raw); });
    }

    bool equals(const Map& element, const RecordName& name) {
        return visit_surfaces(
            element, include_label_, name, derived_,
            [&](std::string_view s) {
                lower_into(s, lowered_);
                return text::strip(lowered_) == needle_;
            },
            [&](std::string_view raw) { return may_hold_needle(raw); });
    }

private:
    template <class F>
    static void for_each_space_run(std::string_view s, F&& f) {
        std::size_t start = 0;
        while (start < s.size()) {
            std::size_t end = s.find(' ', start);
            if (end == std::string_view::npos) end = s.size();
            if (end > start) f(s.substr(start, end - start));
            start = end + 1;
        }
    }

    bool may_hold_needle(std::string_view raw) const {
        if (runs_.empty() || !is_ascii(raw)) return true;
        for (std::string_view run : runs_)
            if (!ascii_lower_contains(raw, run)) return false;
        return true;
    }

    std::string needle_;
    std::vector<std::string_view> runs_;  // views into needle_
    bool include_label_;
    std::string derived_;
    std::string lowered_;
};

}  // namespace tarnwick::textfinder::detail

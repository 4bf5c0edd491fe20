#include "tarnwick/textfinder/matching.hpp"

#include "records.hpp"
#include "surfaces.hpp"
#include <algorithm>

#include "tarnwick/core/text.hpp"
#include "tarnwick/textfinder/tables.hpp"

namespace tarnwick::textfinder {

namespace {

const detail::RecordName kElement{"element"};

bool is_descriptor(std::string_view word) { return in_table(kTypeDescriptors, text::lower(word)); }

}  // namespace

std::string strip_type_descriptors(std::string_view target) {
    std::vector<std::string_view> words = text::split(target);
    std::size_t begin = 0, end = words.size();
    while (end > begin && is_descriptor(words[end - 1])) --end;
    while (begin < end && is_descriptor(words[begin])) ++begin;
    if (begin == end) return std::string(target);
    std::vector<std::string_view> kept(words.begin() + begin, words.begin() + end);
    return text::join(kept, " ");
}

std::vector<std::string> searchable_strings(const Value& element, bool include_label) {
    std::vector<std::string> out;
    std::string buffer;
    detail::visit_surfaces(detail::record_map(element, kElement), include_label, kElement, buffer,
                           [&](std::string_view s) {
                               out.emplace_back(s);
                               return false;
                           });
    return out;
}

bool matches_element(std::string_view target, const Value& element, bool include_label) {
    detail::SurfaceMatcher matcher(target, include_label);
    return matcher.contains(detail::record_map(element, kElement), kElement);
}

bool exact_matches_element(std::string_view target, const Value& element, bool include_label) {
    detail::SurfaceMatcher matcher(target, include_label);
    return matcher.equals(detail::record_map(element, kElement), kElement);
}

std::int64_t dom_distance(std::string_view xpath_a, std::string_view xpath_b) {
    // Steps as str.split("/") gives them after the outer slashes go (an
    // empty path is one empty step), walked without building lists: the
    // spatial search calls this once per text element.
    std::string_view a = text::strip_chars(xpath_a, "/"), b = text::strip_chars(xpath_b, "/");
    auto count_steps = [](std::string_view path) {
        return static_cast<std::int64_t>(std::count(path.begin(), path.end(), '/')) + 1;
    };
    std::int64_t common = 0;
    std::size_t pa = 0, pb = 0;
    while (true) {
        std::size_t ea = std::min(a.find('/', pa), a.size());
        std::size_t eb = std::min(b.find('/', pb), b.size());
        if (a.substr(pa, ea - pa) != b.substr(pb, eb - pb)) break;
        ++common;
        if (ea == a.size() || eb == b.size()) break;
        pa = ea + 1;
        pb = eb + 1;
    }
    return (count_steps(a) - common) + (count_steps(b) - common);
}

std::optional<std::vector<std::size_t>> filter_by_action(std::string_view action,
                                                         std::span<const Value> elements,
                                                         std::string_view sequence) {
    bool typing = action == "type";
    if (!typing && action != "select") return std::nullopt;
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        detail::RecordName name{sequence, i};
        const Map& element = detail::record_map(elements[i], name);
        const Value* tag = element.find("tag");
        bool tag_text = tag && tag->is_text();
        bool keep;
        if (typing) {
            keep = (tag_text && in_table(kTypeableTags, tag->as_text())) ||
                   detail::flag_key(element, "is_editable_field");
            if (!keep) {
                const Map* attributes = detail::map_key(element, "attributes", name);
                const Value* role = attributes ? attributes->find("role") : nullptr;
                keep = role && role->is_text() && in_table(kTypeableRoles, role->as_text());
            }
        } else {
            keep = tag_text && in_table(kSelectableTags, tag->as_text());
        }
        if (keep) kept.push_back(i);
    }
    if (kept.empty()) return std::nullopt;
    return kept;
}

}  // namespace tarnwick::textfinder

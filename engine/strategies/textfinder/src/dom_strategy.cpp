#include "tarnwick/textfinder/dom_strategy.hpp"

#include <utility>

#include "ordering.hpp"
#include "records.hpp"
#include "surfaces.hpp"
#include "tarnwick/textfinder/matching.hpp"

namespace tarnwick::textfinder {

using detail::name_of;
using detail::record_at;

Resolution DOMStrategy::resolve(const Instruction& instruction, const RecordSet& dom_elements,
                                const RecordSet& text_elements) const {
    std::string_view action = instruction.action;
    std::string_view target = instruction.target;
    // An absent text sequence and an empty one are read alike on every path.
    if (action == "verify_spatial_text")
        return resolve_verify_spatial_text(target, instruction.value, text_elements, dom_elements);
    if (action == "extract_text_spatial")
        return resolve_extract_spatial_text(target, text_elements, dom_elements);
    if (action == "find_text") return resolve_find_text(target, text_elements);
    if (action == "find_exact_text") return resolve_find_exact_text(target, text_elements);
    if (action == "verify_present" || action == "verify_visible" || action == "verify_enabled" ||
        action == "verify_disabled")
        return resolve_verify(action, target, dom_elements);
    if (action == "verify_text_present" || action == "verify_text_visible")
        return resolve_verify_text(action, target, text_elements);
    return resolve_element_action(instruction, dom_elements, text_elements);
}

KeysRead keys_read(std::string_view action) {
    using namespace record_keys;
    if (action == "verify_spatial_text" || action == "extract_text_spatial")
        return {text | attributes | bounding_box | xpath, tag | text | bounding_box | xpath};
    if (action == "find_text" || action == "find_exact_text") return {0, text};
    if (action == "verify_present" || action == "verify_visible" || action == "verify_enabled" ||
        action == "verify_disabled")
        return {text | attributes | is_visible | is_enabled, 0};
    if (action == "verify_text_present" || action == "verify_text_visible")
        return {0, text | is_visible};
    return {tag | text | attributes | bounding_box | is_visible | is_editable_field,
            text | attributes | bounding_box | is_visible};
}

namespace {

// Index into the ordered matches the ordinal names: beyond the end picks the
// last; zero and below count from the end; before the first is no match.
std::optional<std::size_t> ordinal_position(std::int64_t ordinal, std::size_t count) {
    auto n = static_cast<std::int64_t>(count);
    if (ordinal > 0) return static_cast<std::size_t>(std::min(ordinal - 1, n - 1));
    if (ordinal <= -n) return std::nullopt;
    return static_cast<std::size_t>(n + ordinal - 1);
}

void sort_by_reading_order(std::vector<ElementRef>& refs, const RecordSet& dom,
                           const RecordSet& texts) {
    static constexpr double zero = 0.0;
    std::vector<std::pair<double, double>> keys;
    keys.reserve(refs.size());
    for (ElementRef ref : refs) {
        auto name = name_of(ref.source, ref.index);
        const Map& element = record_at(ref.source == Source::Dom ? dom : texts, ref);
        const Map* box = detail::map_key(element, "bounding_box", name);
        if (!box) {
            keys.emplace_back(0.0, 0.0);
            continue;
        }
        keys.emplace_back(detail::coordinate(*box, "y", name, &zero),
                          detail::coordinate(*box, "x", name, &zero));
    }
    detail::sort_by_keys(refs, std::move(keys), [](const auto& a, const auto& b) {
        if (detail::number_less(a.first, b.first)) return true;
        if (detail::number_less(b.first, a.first)) return false;
        return detail::number_less(a.second, b.second);
    });
}

}  // namespace

Resolution DOMStrategy::resolve_element_action(const Instruction& instruction,
                                               const RecordSet& dom_elements,
                                               const RecordSet& text_elements) const {
    std::span<const Value> dom = dom_elements.get();
    std::optional<std::vector<std::size_t>> eligible =
        filter_by_action(instruction.action, dom, "dom_elements");
    std::string scoring_target = strip_type_descriptors(instruction.target);
    bool use_label = instruction.action == "type";
    detail::SurfaceMatcher matcher(scoring_target, use_label);

    // Matching does not depend on visibility, so one pass finds both the
    // visible matches and the fallback of all matches.
    std::vector<ElementRef> visible, all;
    auto consider = [&](std::size_t i) {
        auto name = name_of(Source::Dom, i);
        const Map& element = detail::record_map(dom[i], name);
        if (!matcher.contains(element, name)) return;
        all.push_back({Source::Dom, i});
        if (detail::flag_key(element, "is_visible")) visible.push_back({Source::Dom, i});
    };
    if (eligible)
        for (std::size_t i : *eligible) consider(i);
    else
        for (std::size_t i = 0; i < dom.size(); ++i) consider(i);
    std::vector<ElementRef> matched = visible.empty() ? std::move(all) : std::move(visible);

    const RecordSet* matched_from = &dom_elements;
    if (matched.empty() && instruction.action == "extract_text") {
        std::span<const Value> texts = text_elements.get();
        detail::SurfaceMatcher text_matcher(scoring_target, false);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            auto name = name_of(Source::Text, i);
            const Map& element = detail::record_map(texts[i], name);
            if (detail::flag_key(element, "is_visible") && text_matcher.contains(element, name))
                matched.push_back({Source::Text, i});
        }
        matched_from = &text_elements;
    }
    if (matched.empty()) return detail::failure(ResultShape::Element);

    std::vector<ElementRef> exact;
    for (ElementRef ref : matched)
        if (matcher.equals(record_at(*matched_from, ref), name_of(ref.source, ref.index)))
            exact.push_back(ref);
    if (!exact.empty()) matched = std::move(exact);

    if (instruction.ordinal > 0)
        sort_by_reading_order(matched, dom_elements, text_elements);
    else
        detail::sort_by_text_length(matched, *matched_from);

    std::optional<std::size_t> position = ordinal_position(instruction.ordinal, matched.size());
    if (!position) return detail::failure(ResultShape::Element);
    ElementRef chosen = matched[*position];
    return detail::success(ResultShape::Element, chosen, std::move(matched));
}

}  // namespace tarnwick::textfinder

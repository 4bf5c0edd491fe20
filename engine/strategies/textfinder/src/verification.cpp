// State and text verification, and the text searches.
#include "ordering.hpp"
#include "records.hpp"
#include "surfaces.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/core/text.hpp"
#include "tarnwick/textfinder/dom_strategy.hpp"
#include "tarnwick/textfinder/matching.hpp"

namespace tarnwick::textfinder {

using detail::name_of;

namespace {

// Text elements whose lower-cased text contains the lower-cased target (the
// target is neither trimmed nor stripped of descriptors here).
std::vector<ElementRef> texts_containing(std::string_view target, const RecordSet& texts) {
    std::string needle = text::lower(target);
    std::string lowered;
    std::vector<ElementRef> out;
    std::span<const Value> records = texts.get();
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto name = name_of(Source::Text, i);
        detail::lower_into(detail::text_key(detail::record_map(records[i], name), "text", name),
                           lowered);
        if (lowered.find(needle) != std::string::npos) out.push_back({Source::Text, i});
    }
    return out;
}

Resolution verification_failure() { return detail::failure(ResultShape::Verification); }

Resolution verification(ElementRef best, std::vector<ElementRef> candidates, Map state,
                        bool verified) {
    Resolution r = detail::success(ResultShape::Verification, best, std::move(candidates));
    r.verified = verified;
    r.state = std::move(state);
    return r;
}

[[noreturn]] void unknown_action(std::string_view action, std::string_view known) {
    throw ValueError("action must be one of " + std::string(known) + ", not " +
                     text::repr(action));
}

}  // namespace

Resolution DOMStrategy::resolve_find_text(std::string_view target,
                                          const RecordSet& text_elements) const {
    std::vector<ElementRef> matches = texts_containing(target, text_elements);
    if (matches.empty()) return detail::failure(ResultShape::Element);
    detail::sort_by_text_length(matches, text_elements);
    ElementRef best = matches.front();
    return detail::success(ResultShape::Element, best, std::move(matches));
}

Resolution DOMStrategy::resolve_find_exact_text(std::string_view target,
                                                const RecordSet& text_elements) const {
    std::string needle = text::lower(target);
    std::string lowered;
    std::vector<ElementRef> exact, partial;
    std::span<const Value> records = text_elements.get();
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto name = name_of(Source::Text, i);
        std::string_view txt =
            detail::text_key(detail::record_map(records[i], name), "text", name);
        detail::lower_into(text::strip(txt), lowered);
        if (lowered == needle) exact.push_back({Source::Text, i});
        detail::lower_into(txt, lowered);
        if (lowered.find(needle) != std::string::npos) partial.push_back({Source::Text, i});
    }
    if (!exact.empty()) {
        ElementRef first = exact.front();
        // Each exact match is reported twice: once as exact, once as partial.
        exact.insert(exact.end(), partial.begin(), partial.end());
        return detail::success(ResultShape::Element, first, std::move(exact));
    }
    detail::sort_by_text_length(partial, text_elements);
    Resolution r = detail::failure(ResultShape::Element);
    r.candidates = std::move(partial);
    return r;
}

Resolution DOMStrategy::resolve_verify(std::string_view action, std::string_view target,
                                       const RecordSet& dom_elements) const {
    if (action != "verify_present" && action != "verify_visible" && action != "verify_enabled" &&
        action != "verify_disabled")
        unknown_action(action, "verify_present, verify_visible, verify_enabled, verify_disabled");
    detail::SurfaceMatcher matcher(strip_type_descriptors(target), false);
    std::vector<ElementRef> matched;
    std::span<const Value> records = dom_elements.get();
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto name = name_of(Source::Dom, i);
        if (matcher.contains(detail::record_map(records[i], name), name))
            matched.push_back({Source::Dom, i});
    }
    if (matched.empty()) return verification_failure();
    detail::sort_by_text_length(matched, dom_elements);
    ElementRef best = matched.front();
    const Map& element = detail::record_at(dom_elements, best);
    bool visible = detail::flag_key(element, "is_visible");
    bool enabled = detail::flag_key(element, "is_enabled");
    Map state;
    state.append("present", true);
    state.append("visible", visible);
    state.append("enabled", enabled);
    bool verified = action == "verify_present"   ? true
                    : action == "verify_visible" ? visible
                    : action == "verify_enabled" ? enabled
                                                 : !enabled;
    return verification(best, std::move(matched), std::move(state), verified);
}

Resolution DOMStrategy::resolve_verify_text(std::string_view action, std::string_view target,
                                            const RecordSet& text_elements) const {
    if (action != "verify_text_present" && action != "verify_text_visible")
        unknown_action(action, "verify_text_present, verify_text_visible");
    std::vector<ElementRef> matches = texts_containing(target, text_elements);
    if (matches.empty()) return verification_failure();
    detail::sort_by_text_length(matches, text_elements);
    ElementRef best = matches.front();
    bool visible = detail::flag_key(detail::record_at(text_elements, best), "is_visible");
    Map state;
    state.append("present", true);
    state.append("visible", visible);
    bool verified = action == "verify_text_present" ? true : visible;
    return verification(best, std::move(matches), std::move(state), verified);
}

}  // namespace tarnwick::textfinder

#include <vector>

#include "lowered.hpp"
#include "tarnwick/gridfinder/resolver.hpp"

namespace tarnwick::gridfinder {

namespace {

using Positions = std::vector<std::size_t>;

Number area(const Entries& m, std::size_t i) {
    // A box of unknown size counts as large, so a measured box wins.
    const Number unknown = Number::of(std::int64_t{999});
    return mul(m.coordinate(i, Coord::w).value_or(unknown), m.coordinate(i, Coord::h).value_or(unknown));
}

}  // namespace

std::optional<std::size_t> find_anchor(const Entries& m, std::string_view anchor_text) {
    using detail::lower_equals;
    using detail::lower_starts_with;
    const std::string al = text::lower(anchor_text);
    const std::size_t n = m.size();

    // Tier 1: exact text, else an exact anchor attribute. Attributes of the
    // remaining entries cannot matter once a text has matched.
    Positions text_tier, attribute_tier;
    for (std::size_t i = 0; i < n; ++i) {
        if (lower_equals(m.text(i), al)) {
            text_tier.push_back(i);
        } else if (text_tier.empty()) {
            for (AnchorAttribute a : kAnchorAttributes) {
                std::string_view v = m.attribute(i, a);
                if (!v.empty() && lower_equals(v, al)) {
                    attribute_tier.push_back(i);
                    break;
                }
            }
        }
    }
    Positions matches = text_tier.empty() ? std::move(attribute_tier) : std::move(text_tier);

    // Tier 2: the text continues after a space or a parenthesis ("Cart (2)"),
    // not inside a longer word ("Cartridge").
    const std::string prefix = al + " ";
    if (matches.empty()) {
        const std::string paren = al + "(";
        for (std::size_t i = 0; i < n; ++i) {
            std::string_view t = m.text(i);
            if (lower_starts_with(t, prefix) || lower_starts_with(t, paren)) matches.push_back(i);
        }
    }
    // Tier 3: the same for the anchor attributes.
    if (matches.empty()) {
        for (std::size_t i = 0; i < n; ++i) {
            for (AnchorAttribute a : kAnchorAttributes) {
                if (lower_starts_with(m.attribute(i, a), prefix)) {
                    matches.push_back(i);
                    break;
                }
            }
        }
    }
    if (matches.empty()) return std::nullopt;

    // Interactable entries first; text entries anchor only when nothing else does.
    Positions interactable;
    for (std::size_t i : matches)
        if (!m.is_anchor_only(i)) interactable.push_back(i);
    if (!interactable.empty()) matches = std::move(interactable);

    if (matches.size() == 1) return matches.front();
    // The smallest box is the most specific; the first wins a tie.
    std::size_t best = matches.front();
    Number best_area = area(m, best);
    for (std::size_t k = 1; k < matches.size(); ++k) {
        Number a = area(m, matches[k]);
        if (less(a, best_area)) {
            best = matches[k];
            best_area = a;
        }
    }
    return best;
}

}  // namespace tarnwick::gridfinder

#include <vector>

#include "lowered.hpp"
#include "tarnwick/core/errors.hpp"
#include "tarnwick/core/text.hpp"
#include "tarnwick/gridfinder/resolver.hpp"
#include "tarnwick/gridfinder/target.hpp"

namespace tarnwick::gridfinder {

namespace {

using Positions = std::vector<std::size_t>;

bool type_matches(const Entries& m, std::size_t i, std::optional<std::string_view> type_filter) {
    return !type_filter || m.element_type(i) == type_filter;
}

// The entries whose normalised searchable text contains `words` normalised;
// all of `pool` when none does, so free words narrow but never empty it.
Positions narrowed(const Entries& m, Positions pool, std::string_view words) {
    const std::string needle = normalize(words);
    Positions hits;
    for (std::size_t i : pool)
        if (normalize(m.searchable(i)).find(needle) != std::string::npos) hits.push_back(i);
    return hits.empty() ? pool : hits;
}

// Interactable entries other than the anchor, of the wanted type.
Positions candidates(const Entries& m, std::size_t anchor,
                     std::optional<std::string_view> type_filter,
                     const std::optional<std::string>& target_text) {
    const Number anchor_index = m.index(anchor);
    Positions pool;
    for (std::size_t i = 0; i < m.size(); ++i)
        if (!equal(m.index(i), anchor_index) && !m.is_anchor_only(i) &&
            type_matches(m, i, type_filter))
            pool.push_back(i);
    if (target_text) return narrowed(m, std::move(pool), *target_text);
    return pool;
}

}  // namespace

Resolution resolve_ordinal(const Entries& m, std::int64_t ordinal,
                           std::optional<std::string_view> type_filter,
                           std::optional<std::string_view> search_text) {
    if (ordinal < 1) throw ValueError("ordinal must be at least 1");
    Positions pool;
    for (std::size_t i = 0; i < m.size(); ++i)
        if (!m.is_anchor_only(i) && type_matches(m, i, type_filter)) pool.push_back(i);

    if (search_text && !search_text->empty()) {
        // Exact texts first ("second Submit button" counts only "Submit"
        // buttons) when there are enough of them; else contained words.
        const std::string s = text::lower(*search_text);
        Positions exact;
        for (std::size_t i : pool)
            if (text::strip(detail::lower(m.text(i))) == s) exact.push_back(i);
        if (exact.size() >= static_cast<std::uint64_t>(ordinal))
            pool = std::move(exact);
        else
            pool = narrowed(m, std::move(pool), *search_text);
    }

    Resolution r;
    if (static_cast<std::uint64_t>(ordinal) > pool.size()) return r;
    r.kind = Resolution::Kind::ordinal;
    r.element = pool[static_cast<std::size_t>(ordinal - 1)];
    r.candidates = std::move(pool);
    return r;
}

Resolution resolve(const Entries& m, std::string_view target) {
    const Target t = parse_target(target);
    const bool has_anchor = t.anchor_text && !t.anchor_text->empty();
    if (!has_anchor && !t.ordinal) return {};
    if (!has_anchor) {
        std::optional<std::string_view> search;
        if (t.search_text) search = *t.search_text;
        return resolve_ordinal(m, *t.ordinal, t.type_filter, search);
    }

    const std::optional<std::size_t> anchor = find_anchor(m, *t.anchor_text);
    if (!anchor) return {};
    Positions pool = candidates(m, *anchor, t.type_filter, t.target_text);
    // No element of the named type at all: the type is not relaxed.
    if (pool.empty()) return {};
    Positions ranked = rank(m, pool, *anchor, t.strategy, t.ordinal);
    bool relaxed = false;
    if (ranked.empty() && t.type_filter) {
        // Elements of the type exist but none in the relation: a "link below
        // Cart" may well be a button there.
        pool = candidates(m, *anchor, std::nullopt, t.target_text);
        ranked = rank(m, pool, *anchor, t.strategy, t.ordinal);
        relaxed = true;
    }
    if (ranked.empty()) return {};

    Resolution r;
    r.kind = Resolution::Kind::relation;
    r.element = ranked.front();
    r.anchor = *anchor;
    r.anchor_text = std::string(m.searchable(*anchor));
    r.ordinal = t.ordinal.value_or(1);
    r.type_relaxed = relaxed;
    if (relaxed) {
        if (auto type = m.element_type(r.element)) r.actual_type = std::string(*type);
    } else if (t.type_filter) {
        r.actual_type = std::string(*t.type_filter);
    }
    r.candidates = std::move(ranked);
    return r;
}

}  // namespace tarnwick::gridfinder

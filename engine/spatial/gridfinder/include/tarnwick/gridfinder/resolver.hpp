// Spatial resolution on the matrix: the anchor an anchor text names, the
// candidates in a relation to it, and the element a phrase means. Entries are
// answered by position, so a binding can hand back the caller's own records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/gridfinder/entries.hpp"

namespace tarnwick::gridfinder {

// Exact text first, then an anchor attribute, then "text (…" and
// "text …" prefixes; interactable entries preferred; the smallest box wins.
std::optional<std::size_t> find_anchor(const Entries& m, std::string_view anchor_text);

// The `candidates` in `strategy`'s relation to `anchor`, nearest first; cut
// to the one at `ordinal` when given, and to the first for "next_to".
// ValueError when `ordinal` is below 1.
std::vector<std::size_t> rank(const Entries& m, std::span<const std::size_t> candidates,
                              std::size_t anchor, std::optional<std::string_view> strategy,
                              std::optional<std::int64_t> ordinal);

struct Resolution {
    enum class Kind { unresolved, relation, ordinal };
    Kind kind = Kind::unresolved;
    std::size_t element = 0;
    std::vector<std::size_t> candidates;
    // Relation results only.
    std::size_t anchor = 0;
    std::string anchor_text;  // the anchor entry's searchable text
    std::int64_t ordinal = 1;
    bool type_relaxed = false;
    std::optional<std::string> actual_type;

    bool resolved() const { return kind != Kind::unresolved; }
};

Resolution resolve_ordinal(const Entries& m, std::int64_t ordinal,
                           std::optional<std::string_view> type_filter,
                           std::optional<std::string_view> search_text);

Resolution resolve(const Entries& m, std::string_view target);

}  // namespace tarnwick::gridfinder

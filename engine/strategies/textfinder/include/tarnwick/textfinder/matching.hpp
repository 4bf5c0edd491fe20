// Element surfaces and matching: the free functions every Level 1 operation
// rests on. Matching is plain case-insensitive text comparison against the
// human-readable strings of an element; there is no scoring.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tarnwick/core/value.hpp"

namespace tarnwick::textfinder {

// Removes element-type words from the end, then from the start, of a target
// phrase ("the login button" gives "the login"). When nothing would remain
// the target comes back unchanged, untrimmed.
std::string strip_type_descriptors(std::string_view target);

// The surfaces of an element record, in matching order: text, the match
// attributes (the computed label only with include_label), then the derived
// class, id and data-attribute-name surfaces.
std::vector<std::string> searchable_strings(const Value& element, bool include_label = false);

// Does some lower-cased surface contain (resp. equal, once trimmed) the
// target lower-cased with "_" and "-" read as spaces?
bool matches_element(std::string_view target, const Value& element, bool include_label = false);
bool exact_matches_element(std::string_view target, const Value& element,
                           bool include_label = false);

// Tree steps between two elements given their absolute element paths.
std::int64_t dom_distance(std::string_view xpath_a, std::string_view xpath_b);

// Positions of the elements an action can act on, in input order; nullopt
// when the whole input stands (an action that does not filter, or a filter
// that nothing passes). `sequence` names the elements in error messages.
std::optional<std::vector<std::size_t>> filter_by_action(std::string_view action,
                                                         std::span<const Value> elements,
                                                         std::string_view sequence = "elements");

}  // namespace tarnwick::textfinder

// Helpers shared by the resolution paths: stable orderings and result shapes.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "records.hpp"
#include "tarnwick/core/text.hpp"
#include "tarnwick/textfinder/dom_strategy.hpp"

namespace tarnwick::textfinder::detail {

inline RecordName name_of(Source source, std::size_t index) {
    return RecordName{source == Source::Dom ? "dom_elements" : "text_elements", index};
}

// The record behind a reference, checked to be a map.
inline const Map& record_at(const RecordSet& records, ElementRef ref) {
    return record_map(records.get()[ref.index], name_of(ref.source, ref.index));
}

// Strict weak order on numbers that also places NaN (after every number), so
// a stable sort stays well-defined whatever coordinates a record holds.
inline bool number_less(double a, double b) {
    if (std::isnan(a)) return false;
    if (std::isnan(b)) return true;
    return a < b;
}

// Stable sort of `refs` by a precomputed key per position.
template <class Key, class Less>
void sort_by_keys(std::vector<ElementRef>& refs, std::vector<Key> keys, Less less) {
    std::vector<std::size_t> order(refs.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return less(keys[a], keys[b]); });
    std::vector<ElementRef> sorted;
    sorted.reserve(refs.size());
    for (std::size_t i : order) sorted.push_back(refs[i]);
    refs = std::move(sorted);
}

// The `text` of the record behind a reference; absent or null reads as empty.
inline std::string_view text_at(const RecordSet& records, ElementRef ref) {
    return text_key(record_at(records, ref), "text", name_of(ref.source, ref.index));
}

// Shortest text first; absent, null or empty text counts as length 0.
inline void sort_by_text_length(std::vector<ElementRef>& refs, const RecordSet& records) {
    std::vector<std::size_t> lengths;
    lengths.reserve(refs.size());
    for (ElementRef ref : refs) lengths.push_back(text::length(text_at(records, ref)));
    sort_by_keys(refs, std::move(lengths), std::less<>());
}

inline Resolution failure(ResultShape shape) {
    Resolution r;
    r.shape = shape;
    return r;
}

inline Resolution success(ResultShape shape, ElementRef element,
                          std::vector<ElementRef> candidates) {
    Resolution r;
    r.shape = shape;
    r.resolved = true;
    r.element = element;
    r.candidates = std::move(candidates);
    return r;
}

}  // namespace tarnwick::textfinder::detail

// Removal of wrapper texts: an element without text of its own is dropped
// when a smaller element overlapping it shows a text contained in its text.
#pragma once

#include <cstddef>
#include <vector>

#include "tarnwick/core/value.hpp"

namespace tarnwick::browser {

// Positions of the text elements to keep, in input order. Every candidate
// needs a bounding_box with numeric x, y, width and height (ValueError
// otherwise). Candidates are indexed on a grid by area, so a wrapper is only
// compared with the smaller elements near it.
std::vector<std::size_t> dedup_text_positions(const std::vector<Value>& candidates);

}  // namespace tarnwick::browser

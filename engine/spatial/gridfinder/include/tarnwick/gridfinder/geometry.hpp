// Geometry between two matrix entries and distance between element paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tarnwick/gridfinder/entries.hpp"

namespace tarnwick::gridfinder {

inline constexpr std::int64_t SPATIAL_TOLERANCE = 40;   // pixels, widens both overlap tests
inline constexpr std::int64_t NEAR_MAX_PIXELS = 300;    // largest centre distance for "near"
inline constexpr std::int64_t NEAR_MAX_DOM_STEPS = 10;  // largest tree distance for "near"

// Extents overlap once each top (left) edge is raised by the tolerance:
// a.y − 40 < b.y2 and b.y − 40 < a.y2 (strict).
bool overlaps_vertically(const Entries& m, std::size_t a, std::size_t b);
bool overlaps_horizontally(const Entries& m, std::size_t a, std::size_t b);

// Euclidean distance of the two centres.
double centre_distance(const Entries& m, std::size_t a, std::size_t b);

// Steps of both paths not shared at equal positions. Every equal position
// counts, also after a differing one, so /a/b/c and /a/x/c are 2 apart.
std::size_t dom_distance(std::string_view xpath_a, std::string_view xpath_b);

}  // namespace tarnwick::gridfinder

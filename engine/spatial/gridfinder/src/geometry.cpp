#include "tarnwick/gridfinder/geometry.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tarnwick/core/text.hpp"

namespace tarnwick::gridfinder {

namespace {

bool overlaps(const Entries& m, std::size_t a, std::size_t b, Coord start, Coord end) {
    // Read in the order the test is written, so a malformed entry is
    // reported the same way every time.
    const Number tolerance = Number::of(SPATIAL_TOLERANCE);
    const Number a_start = coordinate(m, a, start);
    if (!less(sub(a_start, tolerance), coordinate(m, b, end))) return false;
    const Number b_start = coordinate(m, b, start);
    return less(sub(b_start, tolerance), coordinate(m, a, end));
}

std::vector<std::string_view> steps(std::string_view xpath) {
    std::string_view rest = text::strip_chars(xpath, "/");
    std::vector<std::string_view> out;
    for (;;) {
        std::size_t slash = rest.find('/');
        out.push_back(rest.substr(0, slash));
        if (slash == std::string_view::npos) return out;
        rest.remove_prefix(slash + 1);
    }
}

}  // namespace

bool overlaps_vertically(const Entries& m, std::size_t a, std::size_t b) {
    return overlaps(m, a, b, Coord::y, Coord::y2);
}

bool overlaps_horizontally(const Entries& m, std::size_t a, std::size_t b) {
    return overlaps(m, a, b, Coord::x, Coord::x2);
}

double centre_distance(const Entries& m, std::size_t a, std::size_t b) {
    const Number acx = coordinate(m, a, Coord::cx);
    const Number dx = sub(acx, coordinate(m, b, Coord::cx));
    const Number acy = coordinate(m, a, Coord::cy);
    const Number dy = sub(acy, coordinate(m, b, Coord::cy));
    return std::sqrt(add(mul(dx, dx), mul(dy, dy)).as_double());
}

std::size_t dom_distance(std::string_view xpath_a, std::string_view xpath_b) {
    const auto a = steps(xpath_a), b = steps(xpath_b);
    std::size_t common = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] == b[i]) ++common;
    return (a.size() - common) + (b.size() - common);
}

}  // namespace tarnwick::gridfinder

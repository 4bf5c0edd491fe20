#include <algorithm>
#include <vector>

#include "tarnwick/core/errors.hpp"
#include "tarnwick/gridfinder/geometry.hpp"
#include "tarnwick/gridfinder/resolver.hpp"

namespace tarnwick::gridfinder {

namespace {

enum class Direction { ascending, descending };

struct Keyed {
    Number key;
    std::size_t entry;
};

// Qualifying candidates sorted stably by their key, so equal keys keep the
// candidates' (reading) order.
template <typename Qualifies>
std::vector<std::size_t> sorted_by(const Entries& m, std::span<const std::size_t> candidates,
                                   Qualifies qualifies, Coord key_coord, Direction dir) {
    std::vector<Keyed> keyed;
    for (std::size_t c : candidates)
        if (qualifies(c)) keyed.push_back({coordinate(m, c, key_coord), c});
    std::stable_sort(keyed.begin(), keyed.end(), [dir](const Keyed& a, const Keyed& b) {
        return dir == Direction::ascending ? order(a.key, b.key) < 0 : order(b.key, a.key) < 0;
    });
    std::vector<std::size_t> out;
    out.reserve(keyed.size());
    for (const Keyed& k : keyed) out.push_back(k.entry);
    return out;
}

// left ≤ right, reading the left side first so errors come in a fixed order.
bool at_most(const Entries& m, std::size_t i, Coord ci, std::size_t j, Coord cj) {
    const Number left = coordinate(m, i, ci);
    return less_equal(left, coordinate(m, j, cj));
}

std::vector<std::size_t> by_index(const Entries& m, std::span<const std::size_t> candidates,
                                  std::size_t anchor) {
    std::vector<Keyed> keyed;
    for (std::size_t c : candidates)
        if (overlaps_vertically(m, c, anchor) && at_most(m, anchor, Coord::x2, c, Coord::x))
            keyed.push_back({m.index(c), c});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return order(a.key, b.key) < 0; });
    std::vector<std::size_t> out;
    for (const Keyed& k : keyed) out.push_back(k.entry);
    return out;
}

std::vector<std::size_t> near(const Entries& m, std::span<const std::size_t> candidates,
                              std::size_t anchor) {
    struct ByDistance {
        double distance;
        std::size_t entry;
    };
    std::vector<ByDistance> keyed;
    std::string_view anchor_path;
    bool anchor_path_read = false;
    for (std::size_t c : candidates) {
        double d = centre_distance(m, c, anchor);
        if (!(d <= static_cast<double>(NEAR_MAX_PIXELS))) continue;
        if (!anchor_path_read) {
            anchor_path = m.xpath(anchor);
            anchor_path_read = true;
        }
        if (dom_distance(anchor_path, m.xpath(c)) > static_cast<std::size_t>(NEAR_MAX_DOM_STEPS))
            continue;
        keyed.push_back({d, c});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const ByDistance& a, const ByDistance& b) {
        return order(a.distance, b.distance) < 0;
    });
    std::vector<std::size_t> out;
    for (const ByDistance& k : keyed) out.push_back(k.entry);
    return out;
}

std::vector<std::size_t> ordered(const Entries& m, std::span<const std::size_t> candidates,
                                 std::size_t a, std::string_view strategy) {
    // Direction tests have no tolerance: touching edges count.
    if (strategy == "next_to") return by_index(m, candidates, a);
    if (strategy == "below")
        return sorted_by(
            m, candidates,
            [&](std::size_t c) {
                return at_most(m, a, Coord::y2, c, Coord::y) && overlaps_horizontally(m, c, a);
            },
            Coord::y, Direction::ascending);
    if (strategy == "above")
        return sorted_by(
            m, candidates,
            [&](std::size_t c) {
                return at_most(m, c, Coord::y2, a, Coord::y) && overlaps_horizontally(m, c, a);
            },
            Coord::y2, Direction::descending);
    if (strategy == "left")
        return sorted_by(
            m, candidates,
            [&](std::size_t c) {
                return at_most(m, c, Coord::x2, a, Coord::x) && overlaps_vertically(m, c, a);
            },
            Coord::x2, Direction::descending);
    if (strategy == "right")
        return sorted_by(
            m, candidates,
            [&](std::size_t c) {
                return at_most(m, a, Coord::x2, c, Coord::x) && overlaps_vertically(m, c, a);
            },
            Coord::x, Direction::ascending);
    if (strategy == "near") return near(m, candidates, a);
    return {};
}

}  // namespace

std::vector<std::size_t> rank(const Entries& m, std::span<const std::size_t> candidates,
                              std::size_t anchor, std::optional<std::string_view> strategy,
                              std::optional<std::int64_t> ordinal) {
    if (ordinal && *ordinal < 1) throw ValueError("ordinal must be at least 1");
    if (!strategy) return {};
    std::vector<std::size_t> s = ordered(m, candidates, anchor, *strategy);
    if (ordinal) {
        if (static_cast<std::uint64_t>(*ordinal) > s.size()) return {};
        return {s[static_cast<std::size_t>(*ordinal - 1)]};
    }
    // "next to" means the one beside it; the other relations list them all.
    if (*strategy == "next_to" && s.size() > 1) s.erase(s.begin() + 1, s.end());
    return s;
}

}  // namespace tarnwick::gridfinder

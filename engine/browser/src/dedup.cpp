#include "tarnwick/browser/dedup.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>

#include "tarnwick/core/errors.hpp"

namespace tarnwick::browser {

namespace {

struct Item {
    double x, y, w, h, area;
    std::string_view text;
    bool direct;
};

double coordinate(const Value& box, std::string_view key, std::size_t i) {
    const Value* v = box.get(key);
    if (!v || !v->is_number())
        throw ValueError("candidates[" + std::to_string(i) + "]['bounding_box'] has no numeric '" +
                         std::string(key) + "'");
    return v->as_number();
}

std::vector<Item> read_items(const std::vector<Value>& candidates) {
    std::vector<Item> items;
    items.reserve(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Value& c = candidates[i];
        if (!c.is_map()) throw TypeError("candidates[" + std::to_string(i) + "] must be a dict");
        const Value* box = c.get("bounding_box");
        if (!box || !box->is_map())
            throw ValueError("candidates[" + std::to_string(i) + "] has no bounding_box");
        Item it{};
        it.x = coordinate(*box, "x", i);
        it.y = coordinate(*box, "y", i);
        it.w = coordinate(*box, "width", i);
        it.h = coordinate(*box, "height", i);
        it.area = it.w * it.h;
        const Value* t = c.get("text");
        if (t && t->is_text()) it.text = t->as_text();
        const Value* d = c.get("has_direct_text");
        it.direct = d && d->truthy();
        items.push_back(it);
    }
    return items;
}

bool overlaps(const Item& a, const Item& b) {
    return a.x < b.x + b.w && a.x + a.w > b.x && a.y < b.y + b.h && a.y + a.h > b.y;
}

bool dominates(const Item& o, const Item& e) {
    return o.area < e.area && overlaps(o, e) && e.text.find(o.text) != std::string_view::npos;
}

// Reference form, for boxes the grid cannot index (negative or non-finite).
std::vector<std::size_t> dedup_quadratic(const std::vector<Item>& items) {
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < items.size(); ++i) {
        bool dominated = false;
        if (!items[i].direct)
            for (std::size_t j = 0; j < items.size() && !dominated; ++j)
                dominated = j != i && dominates(items[j], items[i]);
        if (!dominated) kept.push_back(i);
    }
    return kept;
}

constexpr double kCell = 128.0;
// Boxes spanning more cells than this are kept in one list checked by all.
constexpr std::int64_t kMaxCells = 64;

struct CellRange {
    std::int64_t x0, x1, y0, y1;
    std::int64_t count() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
};

CellRange cells_of(const Item& it) {
    return {static_cast<std::int64_t>(std::floor(it.x / kCell)),
            static_cast<std::int64_t>(std::floor((it.x + it.w) / kCell)),
            static_cast<std::int64_t>(std::floor(it.y / kCell)),
            static_cast<std::int64_t>(std::floor((it.y + it.h) / kCell))};
}

std::uint64_t cell_key(std::int64_t cx, std::int64_t cy) {
    return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint32_t>(cy);
}

bool indexable(const Item& it) {
    return std::isfinite(it.x) && std::isfinite(it.y) && std::isfinite(it.w) && std::isfinite(it.h) &&
           it.w >= 0 && it.h >= 0 && std::fabs(it.x) + it.w < 1e12 && std::fabs(it.y) + it.h < 1e12;
}

}  // namespace

std::vector<std::size_t> dedup_text_positions(const std::vector<Value>& candidates) {
    const std::vector<Item> items = read_items(candidates);
    if (!std::all_of(items.begin(), items.end(), indexable)) return dedup_quadratic(items);

    // Each cell lists the boxes touching it, smallest area first, so a scan
    // stops at the first box that is not smaller than the wrapper.
    std::vector<std::size_t> by_area(items.size());
    std::iota(by_area.begin(), by_area.end(), 0);
    std::stable_sort(by_area.begin(), by_area.end(),
                     [&](std::size_t a, std::size_t b) { return items[a].area < items[b].area; });
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> grid;
    std::vector<std::size_t> large;
    for (std::size_t i : by_area) {
        const CellRange r = cells_of(items[i]);
        if (r.count() > kMaxCells) {
            large.push_back(i);
            continue;
        }
        for (auto cx = r.x0; cx <= r.x1; ++cx)
            for (auto cy = r.y0; cy <= r.y1; ++cy) grid[cell_key(cx, cy)].push_back(i);
    }

    std::vector<std::size_t> seen(items.size(), SIZE_MAX);
    auto dominated_in = [&](const std::vector<std::size_t>& list, std::size_t e) {
        for (std::size_t o : list) {
            if (items[o].area >= items[e].area) return false;
            if (seen[o] == e) continue;
            seen[o] = e;
            if (o != e && dominates(items[o], items[e])) return true;
        }
        return false;
    };

    auto dominated = [&](std::size_t e) {
        const CellRange r = cells_of(items[e]);
        // A box wider than the whole grid is cheaper to test against every
        // smaller box directly.
        if (r.count() > std::max<std::int64_t>(1024, 4 * static_cast<std::int64_t>(items.size())))
            return dominated_in(by_area, e);
        if (dominated_in(large, e)) return true;
        for (auto cx = r.x0; cx <= r.x1; ++cx)
            for (auto cy = r.y0; cy <= r.y1; ++cy) {
                auto it = grid.find(cell_key(cx, cy));
                if (it != grid.end() && dominated_in(it->second, e)) return true;
            }
        return false;
    };

    std::vector<std::size_t> kept;
    for (std::size_t e = 0; e < items.size(); ++e)
        if (items[e].direct || !dominated(e)) kept.push_back(e);
    return kept;
}

}  // namespace tarnwick::browser

#include <algorithm>

#include "tarnwick/gridmaker/matrix.hpp"

namespace tarnwick::gridmaker {

namespace {

Entry make_entry(const ElementFields& f, std::size_t source, bool is_text) {
    Entry e;
    e.is_text = is_text;
    e.source = source;
    e.position = position(f.x, f.y, f.width, f.height);
    if (is_text) {
        e.element_type = kTextType;
    } else {
        e.element_type = element_type(f);
        e.searchable = searchable(f);
    }
    return e;
}

}  // namespace

std::vector<Entry> build(std::span<const ElementFields> dom, std::span<const ElementFields> texts) {
    // Sort small keys rather than whole entries: the corner and the record's
    // place, interactable records first so that equal corners keep that order.
    struct Key {
        Number y, x;
        const ElementFields* fields;
        std::size_t source;
        bool is_text;
    };
    std::vector<Key> keys;
    keys.reserve(dom.size() + texts.size());
    for (std::size_t i = 0; i < dom.size(); ++i)
        if (dom[i].has_box) keys.push_back({dom[i].y, dom[i].x, &dom[i], i, false});
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i].has_box) keys.push_back({texts[i].y, texts[i].x, &texts[i], i, true});

    // Raw corners, no row tolerance: a top edge one pixel lower comes later
    // wherever it stands horizontally; equal corners keep input order.
    std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        int by_y = order(a.y, b.y);
        return by_y != 0 ? by_y < 0 : order(a.x, b.x) < 0;
    });

    std::vector<Entry> entries;
    entries.reserve(keys.size());
    // Few distinct types: a linear table beats a hash map here.
    std::vector<std::pair<std::string_view, std::size_t>> counts;
    for (const Key& key : keys) {
        Entry& e = entries.emplace_back(make_entry(*key.fields, key.source, key.is_text));
        e.index = entries.size() - 1;
        auto it = std::find_if(counts.begin(), counts.end(),
                               [&](const auto& c) { return c.first == e.element_type; });
        if (it == counts.end()) it = counts.insert(counts.end(), {e.element_type, 0});
        e.order_in_type = ++it->second;
    }
    return entries;
}

}  // namespace tarnwick::gridmaker

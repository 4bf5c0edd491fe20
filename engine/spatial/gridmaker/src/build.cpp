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
    std::vector<Entry> entries;
    entries.reserve(dom.size() + texts.size());
    for (std::size_t i = 0; i < dom.size(); ++i)
        if (dom[i].has_box) entries.push_back(make_entry(dom[i], i, false));
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i].has_box) entries.push_back(make_entry(texts[i], i, true));

    // Raw corners, no row tolerance: a top edge one pixel lower comes later
    // wherever it stands horizontally; equal corners keep input order.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        int by_y = compare(a.position.y, b.position.y);
        return by_y != 0 ? by_y < 0 : compare(a.position.x, b.position.x) < 0;
    });

    // Few distinct types: a linear table beats a hash map here.
    std::vector<std::pair<std::string_view, std::size_t>> counts;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& e = entries[i];
        e.index = i;
        auto it = std::find_if(counts.begin(), counts.end(),
                               [&](const auto& c) { return c.first == e.element_type; });
        if (it == counts.end()) it = counts.insert(counts.end(), {e.element_type, 0});
        e.order_in_type = ++it->second;
    }
    return entries;
}

}  // namespace tarnwick::gridmaker

#include "tarnwick/gridfinder/matrix_table.hpp"

#include "tarnwick/core/errors.hpp"
#include "tarnwick/gridfinder/value_entries.hpp"

namespace tarnwick::gridfinder {

MatrixTable::MatrixTable(const Sequence& entries, std::string name) : name_(std::move(name)) {
    const ValueEntries source(entries, name_);
    rows_.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Row r;
        r.index = source.index(i);
        r.text = keep(source.text(i));
        r.searchable = keep(source.searchable(i));
        if (auto type = source.element_type(i)) {
            r.has_element_type = true;
            r.element_type = keep(*type);
        }
        r.is_anchor_only = source.is_anchor_only(i);
        for (std::size_t c = 0; c < r.coordinates.size(); ++c)
            r.coordinates[c] = source.coordinate(i, static_cast<Coord>(c));
        for (AnchorAttribute a : kAnchorAttributes)
            r.attributes[static_cast<std::size_t>(a)] = keep(source.attribute(i, a));
        r.xpath = keep(source.xpath(i));
        rows_.push_back(r);
    }
}

MatrixTable::Span MatrixTable::keep(std::string_view s) {
    if (texts_.size() + s.size() > UINT32_MAX) throw ValueError(name_ + " holds too much text");
    Span span{static_cast<std::uint32_t>(texts_.size()), static_cast<std::uint32_t>(s.size())};
    texts_.append(s);
    return span;
}

std::string MatrixTable::name(std::size_t i) const { return name_ + "[" + std::to_string(i) + "]"; }

}  // namespace tarnwick::gridfinder

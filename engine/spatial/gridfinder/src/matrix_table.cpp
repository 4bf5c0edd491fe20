#include "tarnwick/gridfinder/matrix_table.hpp"

#include "tarnwick/gridfinder/value_entries.hpp"

namespace tarnwick::gridfinder {

MatrixTable::MatrixTable(const Sequence& entries, std::string name) : name_(std::move(name)) {
    const ValueEntries source(entries, name_);
    rows_.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Row r;
        r.index = source.index(i);
        r.text = source.text(i);
        r.searchable = source.searchable(i);
        r.element_type = source.element_type(i);
        r.is_anchor_only = source.is_anchor_only(i);
        for (std::size_t c = 0; c < r.coordinates.size(); ++c)
            r.coordinates[c] = source.coordinate(i, static_cast<Coord>(c));
        for (AnchorAttribute a : kAnchorAttributes)
            r.attributes[static_cast<std::size_t>(a)] = source.attribute(i, a);
        r.xpath = source.xpath(i);
        rows_.push_back(r);
    }
}

std::string MatrixTable::name(std::size_t i) const { return name_ + "[" + std::to_string(i) + "]"; }

}  // namespace tarnwick::gridfinder

// Matrix entries held as core records (MatrixEntry maps).
#pragma once

#include <string>

#include "tarnwick/core/value.hpp"
#include "tarnwick/gridfinder/entries.hpp"

namespace tarnwick::gridfinder {

class ValueEntries final : public Entries {
public:
    // `entries` must outlive this view; `name` prefixes error messages.
    ValueEntries(const Sequence& entries, std::string name = "matrix")
        : entries_(entries), name_(std::move(name)) {}

    std::size_t size() const override { return entries_.size(); }
    std::string name(std::size_t i) const override;
    Number index(std::size_t i) const override;
    std::string_view text(std::size_t i) const override;
    std::string_view searchable(std::size_t i) const override;
    std::optional<std::string_view> element_type(std::size_t i) const override;
    bool is_anchor_only(std::size_t i) const override;
    std::optional<Number> coordinate(std::size_t i, Coord c) const override;
    std::string_view attribute(std::size_t i, AnchorAttribute a) const override;
    std::string_view xpath(std::size_t i) const override;

private:
    const Map& entry(std::size_t i) const;
    const Map& element(std::size_t i) const;

    const Sequence& entries_;
    std::string name_;
};

}  // namespace tarnwick::gridfinder

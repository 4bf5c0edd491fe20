// Matrix entries read once into a compact table, for C++ callers that
// resolve many phrases on one matrix. Unlike the lazy readers it reads every
// key up front, so a malformed entry is reported at construction.
#pragma once

#include <array>
#include <vector>

#include "tarnwick/core/value.hpp"
#include "tarnwick/gridfinder/entries.hpp"

namespace tarnwick::gridfinder {

class MatrixTable final : public Entries {
public:
    // Texts are views into `entries`, which must outlive the table.
    explicit MatrixTable(const Sequence& entries, std::string name = "matrix");

    std::size_t size() const override { return rows_.size(); }
    std::string name(std::size_t i) const override;
    Number index(std::size_t i) const override { return rows_[i].index; }
    std::string_view text(std::size_t i) const override { return rows_[i].text; }
    std::string_view searchable(std::size_t i) const override { return rows_[i].searchable; }
    std::optional<std::string_view> element_type(std::size_t i) const override {
        return rows_[i].element_type;
    }
    bool is_anchor_only(std::size_t i) const override { return rows_[i].is_anchor_only; }
    std::optional<Number> coordinate(std::size_t i, Coord c) const override {
        return rows_[i].coordinates[static_cast<std::size_t>(c)];
    }
    std::string_view attribute(std::size_t i, AnchorAttribute a) const override {
        return rows_[i].attributes[static_cast<std::size_t>(a)];
    }
    std::string_view xpath(std::size_t i) const override { return rows_[i].xpath; }

private:
    struct Row {
        Number index;
        std::string_view text, searchable;
        std::optional<std::string_view> element_type;
        bool is_anchor_only = false;
        std::array<std::optional<Number>, 8> coordinates;
        std::array<std::string_view, 3> attributes;
        std::string_view xpath;
    };
    std::vector<Row> rows_;
    std::string name_;
};

}  // namespace tarnwick::gridfinder
